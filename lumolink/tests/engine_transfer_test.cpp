// File transfers over the link against a scripted reader: exact packet sequences, refusals,
// mismatched answers, time-outs, aborts and cancels.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <cstring>

#include "EngineFixture.h"
#include "TempFolder.h"

namespace lumolink::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::Field;

constexpr uint8_t kBigHandle = 20;  // 12 and above: chunks go as they are
constexpr uint8_t kSmallHandle = 3;

class TransferTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        ConnectAndOpen();
    }

    // Acknowledges every write until the close, returning the chunks received.
    std::vector<Bytes> AcceptWrites(uint8_t handle) {
        std::vector<Bytes> chunks;
        for (;;) {
            auto packet = reader.Next(5000);
            if (!packet) return chunks;
            if (packet->code == LUMI_FCLOSE) {
                EXPECT_EQ(packet->parameter, handle);
                reader.Send(LUMI_FCLOSE_ACK, 0, 0);
                return chunks;
            }
            if (packet->code != LUMI_FWRITE) continue;
            EXPECT_EQ(packet->parameter, handle);
            chunks.push_back(packet->data);
            reader.Send(LUMI_FWRITE_ACK, 0, 0, AckFor(packet->sequence));
        }
    }

    // Answers reads with the given file in 2048-byte blocks.
    void ServeReads(const Bytes& file, uint8_t handle) {
        size_t at = 0;
        for (;;) {
            auto packet = reader.Expect(LUMI_FREAD, 5000, true);
            if (!packet) return;
            EXPECT_EQ(packet->parameter, handle);
            const size_t n = std::min<size_t>(2048, file.size() - at);
            Bytes data{packet->sequence};
            data.insert(data.end(), file.begin() + static_cast<long>(at),
                        file.begin() + static_cast<long>(at + n));
            at += n;
            reader.Send(LUMI_READ_DATA, 0, 0, data);
            if (n < 2048) break;
        }
        auto close = reader.Expect(LUMI_FCLOSE, 5000, true);
        ASSERT_TRUE(close);
        reader.Send(LUMI_FCLOSE_ACK, 0, 0);
    }

    TempFolder folder;
};

TEST_F(TransferTest, SendsAFileInChunksAndReportsEachAcknowledgement) {
    const Bytes file = PatternBytes(5000);
    const std::string path = folder.Write("book.lx", file);
    CPPPTransfer transfer(path.c_str(), "book.lx", PPP_CONN_XFER_DIR_SEND, 1,
                          static_cast<LUMO_FILE_TYPE>(7), 42);
    auto result = StartTransfer(transfer);

    auto create = reader.Expect(LUMI_FCREATE);
    ASSERT_TRUE(create);
    EXPECT_EQ(create->parameter, 7);
    ASSERT_EQ(create->data.size(), 68u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(create->data.data())), "book.lx");
    EXPECT_TRUE(std::all_of(create->data.begin() + 7, create->data.begin() + 64,
                            [](uint8_t b) { return b == 0; }));
    EXPECT_EQ(Bytes(create->data.begin() + 64, create->data.end()), (Bytes{0, 0, 0x13, 0x88}));
    reader.Send(LUMI_FHANDLE, 0, kBigHandle, Bytes(8, 0));

    const std::vector<Bytes> chunks = AcceptWrites(kBigHandle);
    ASSERT_EQ(result.get(), PPP_CONN_ERR_SUCCESS);
    ASSERT_EQ(chunks.size(), 3u);
    EXPECT_EQ(chunks[0].size(), 2048u);
    EXPECT_EQ(chunks[1].size(), 2048u);
    EXPECT_EQ(chunks[2].size(), 904u);
    Bytes joined;
    for (const Bytes& chunk : chunks) joined.insert(joined.end(), chunk.begin(), chunk.end());
    EXPECT_EQ(joined, file);
    EXPECT_THAT(Reports(),
                ElementsAre(Field(&ProgressReport::done, 2048), Field(&ProgressReport::done, 4096),
                            Field(&ProgressReport::done, 5000),
                            Field(&ProgressReport::flags, PPP_XFER_FLAG_ENDED)));
    EXPECT_EQ(Reports().back().pppError, PPP_CONN_ERR_SUCCESS);
    EXPECT_EQ(Reports().front().pppError, PPP_CONN_ERR_SUCCESS);

    // After a file the reader is busy until it answers the next check.
    ASSERT_TRUE(WaitUntil([&] { return engine->GetLinkState() == LUMS_BUSY; }));
    ASSERT_TRUE(reader.Expect(LUMI_CHECK, 5000, false));
    reader.SendCheckData();
    EXPECT_TRUE(WaitUntil([&] { return engine->GetLinkState() == LUMS_OPEN; }));
}

TEST_F(TransferTest, ShortChunksForSmallHandlesArePaddedWithZerosAndTheFileStillCloses) {
    const Bytes file = PatternBytes(5000);
    const std::string path = folder.Write("font.lxf", file);
    CPPPTransfer transfer(path.c_str(), "LARGE.LXF", PPP_CONN_XFER_DIR_SEND, 1,
                          LUMO_FILE_TYPE_DEFAULT, 1);
    auto result = StartTransfer(transfer);
    ASSERT_TRUE(reader.Expect(LUMI_FCREATE));
    reader.Send(LUMI_FHANDLE, 0, kSmallHandle, Bytes(8, 0));
    const std::vector<Bytes> chunks = AcceptWrites(kSmallHandle);
    ASSERT_EQ(result.get(), PPP_CONN_ERR_SUCCESS);
    ASSERT_EQ(chunks.size(), 3u);
    ASSERT_EQ(chunks[2].size(), 1024u);
    EXPECT_EQ(Bytes(chunks[2].begin(), chunks[2].begin() + 904),
              Bytes(file.begin() + 4096, file.end()));
    EXPECT_TRUE(
        std::all_of(chunks[2].begin() + 904, chunks[2].end(), [](uint8_t b) { return b == 0; }));
    EXPECT_EQ(transfer.done, 5000);
}

TEST_F(TransferTest, MismatchedAcknowledgementIsIgnoredAndTheChunkRepeatedUnchanged) {
    const std::string path = folder.Write("a.lx", PatternBytes(3000));
    CPPPTransfer transfer(path.c_str(), "a.lx", PPP_CONN_XFER_DIR_SEND, 1, LUMO_FILE_TYPE_DEFAULT,
                          1);
    auto result = StartTransfer(transfer);
    ASSERT_TRUE(reader.Expect(LUMI_FCREATE));
    reader.Send(LUMI_FHANDLE, 0, kBigHandle, Bytes(4, 0));  // old firmware: length 9
    auto first = reader.Expect(LUMI_FWRITE);
    ASSERT_TRUE(first);
    reader.Send(LUMI_FWRITE_ACK, 0, 0, AckFor(static_cast<uint8_t>(first->sequence + 1)));
    reader.Send(LUMI_FWRITE_ACK, 0, 0, {first->sequence, 0});  // neither 9 nor 5 long
    auto again = reader.Expect(LUMI_FWRITE);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->frame, first->frame);
    EXPECT_TRUE(Reports().empty());
    reader.Send(LUMI_FWRITE_ACK, 0, 0);  // length 5: no sequence to check
    const std::vector<Bytes> rest = AcceptWrites(kBigHandle);
    EXPECT_EQ(result.get(), PPP_CONN_ERR_SUCCESS);
    EXPECT_EQ(rest.size(), 1u);
}

TEST_F(TransferTest, EndsWithTheRightCodeWhenTheFileCannotGo) {
    const std::string empty = folder.Write("empty.lx", {});
    {
        CPPPTransfer transfer(empty.c_str(), "empty.lx", PPP_CONN_XFER_DIR_SEND, 1,
                              LUMO_FILE_TYPE_DEFAULT, 1);
        auto result = StartTransfer(transfer);
        ASSERT_TRUE(reader.Expect(LUMI_FCREATE));
        reader.Send(LUMI_FHANDLE, 0, kBigHandle, Bytes(8, 0));
        EXPECT_EQ(result.get(), PPP_CONN_ERR_EOF_ON_SEND);
        EXPECT_TRUE(transfer.HasEnded());
        auto next = reader.Next(3000);
        ASSERT_TRUE(next);
        EXPECT_EQ(next->code, LUMI_CHECK);  // back to LUMS_OPEN, no write, no close
        reader.SendCheckData();
    }
    {
        const std::string path = folder.Write("b.lx", PatternBytes(10));
        CPPPTransfer transfer(path.c_str(), "b.lx", PPP_CONN_XFER_DIR_SEND, 1,
                              LUMO_FILE_TYPE_DEFAULT, 1);
        auto result = StartTransfer(transfer);
        ASSERT_TRUE(reader.Expect(LUMI_FCREATE));
        reader.Send(LUMI_FHANDLE, 0, 0, Bytes(8, 0));
        EXPECT_EQ(result.get(), PPP_CONN_ERR_REMOTE_FILE_OPEN);
        EXPECT_TRUE(WaitUntil([&] { return engine->GetLinkState() == LUMS_OPEN; }));
    }
    {
        CPPPTransfer transfer(folder.File("missing").c_str(), "m", PPP_CONN_XFER_DIR_SEND, 1,
                              LUMO_FILE_TYPE_DEFAULT, 1);
        EXPECT_EQ(engine->TransferFile(&transfer), PPP_CONN_ERR_LOCAL_FILE_OPEN);
    }
    {
        // A name longer than its field is refused before anything is opened or sent.
        const std::string longName = folder.File(std::string(220, 'n'));
        CPPPTransfer transfer(longName.c_str(), "n", PPP_CONN_XFER_DIR_RECEIVE, 1,
                              LUMO_FILE_TYPE_DEFAULT, 1);
        EXPECT_FALSE(transfer.LocalNameFits());
        EXPECT_EQ(engine->TransferFile(&transfer), PPP_CONN_ERR_LOCAL_FILE_OPEN);
        EXPECT_EQ(engine->EnableLogging(longName.c_str()), PPP_CONN_ERR_UNKNOWN);
    }
}

TEST_F(TransferTest, UnansweredWriteTimesOutAfterThreeIdenticalSends) {
    const std::string path = folder.Write("c.lx", PatternBytes(100));
    CPPPTransfer transfer(path.c_str(), "c.lx", PPP_CONN_XFER_DIR_SEND, 1, LUMO_FILE_TYPE_DEFAULT,
                          1);
    auto result = StartTransfer(transfer);
    ASSERT_TRUE(reader.Expect(LUMI_FCREATE));
    reader.Send(LUMI_FHANDLE, 0, kBigHandle, Bytes(8, 0));
    auto first = reader.Expect(LUMI_FWRITE);
    ASSERT_TRUE(first);
    for (int i = 0; i < 2; ++i) {
        auto repeat = reader.Expect(LUMI_FWRITE, 3000, false);
        ASSERT_TRUE(repeat);
        EXPECT_EQ(repeat->frame, first->frame);
    }
    EXPECT_EQ(result.get(), PPP_CONN_ERR_TIMEOUT);
    EXPECT_EQ(engine->GetLinkState(), LUMS_CLOSED);
    EXPECT_EQ(Reports().back().flags, PPP_XFER_FLAG_ENDED);
}

TEST_F(TransferTest, RemoteAbortEndsTheTransferAndLeavesTheReaderBusy) {
    const std::string path = folder.Write("d.lx", PatternBytes(4000));
    CPPPTransfer transfer(path.c_str(), "d.lx", PPP_CONN_XFER_DIR_SEND, 1, LUMO_FILE_TYPE_DEFAULT,
                          1);
    auto result = StartTransfer(transfer);
    ASSERT_TRUE(reader.Expect(LUMI_FCREATE));
    reader.Send(LUMI_FHANDLE, 0, kBigHandle, Bytes(8, 0));
    ASSERT_TRUE(reader.Expect(LUMI_FWRITE));
    reader.Send(LUMI_REMOTE_ABORT, 0, 0);
    EXPECT_EQ(result.get(), PPP_CONN_ERR_REMOTE_ABORT);
    EXPECT_TRUE(WaitUntil([&] { return engine->GetLinkState() == LUMS_BUSY; }));
}

TEST_F(TransferTest, ReceivesFilesEndingAtTheFirstShortBlock) {
    for (size_t size : {size_t{100}, size_t{2048}, size_t{5000}}) {
        const Bytes file = PatternBytes(size, static_cast<uint8_t>(size));
        const std::string target = folder.File("got-" + std::to_string(size));
        CPPPTransfer transfer(target.c_str(), "__TITLES", PPP_CONN_XFER_DIR_RECEIVE, 1,
                              LUMO_FILE_TYPE_DEFAULT, 1);
        auto result = StartTransfer(transfer);
        auto open = reader.Expect(LUMI_FOPEN_ALT);  // the reader's firmware is 001.061 'R'
        ASSERT_TRUE(open);
        EXPECT_EQ(open->data, (Bytes{'_', '_', 'T', 'I', 'T', 'L', 'E', 'S', 0}));
        reader.Send(LUMI_FHANDLE, 0, kSmallHandle, HandleData(static_cast<uint32_t>(size)));
        ServeReads(file, kSmallHandle);
        ASSERT_EQ(result.get(), PPP_CONN_ERR_SUCCESS) << size;
        EXPECT_EQ(TempFolder::Read(target), file) << size;
        EXPECT_EQ(transfer.total, static_cast<int32_t>(size));
        ASSERT_TRUE(reader.Expect(LUMI_CHECK, 5000, false));
        reader.SendCheckData();
        ASSERT_TRUE(WaitUntil([&] { return engine->GetLinkState() == LUMS_OPEN; }));
    }
}

TEST_F(TransferTest, StaleReadAnswerIsIgnoredAndNotWritten) {
    const std::string target = folder.File("markup.la");
    CPPPTransfer transfer(target.c_str(), "Book.la", PPP_CONN_XFER_DIR_RECEIVE, 1,
                          LUMO_FILE_TYPE_DEFAULT, 1);
    auto result = StartTransfer(transfer);
    ASSERT_TRUE(reader.Expect(LUMI_FOPEN_ALT));
    reader.Send(LUMI_FHANDLE, 0, kSmallHandle, HandleData(3));
    auto read = reader.Expect(LUMI_FREAD);
    ASSERT_TRUE(read);
    reader.Send(LUMI_READ_DATA, 0, 0, {static_cast<uint8_t>(read->sequence - 1), 'o', 'l', 'd'});
    // A length field claiming far more than the frame holds is dropped too.
    reader.SendFrameContent({0x80, 0x83, LUMI_READ_DATA, 0, 0xFF, 0xFF, 0, read->sequence, 'x'});
    reader.SendFrameContent({0x80, 0x83, LUMI_READ_DATA, 0, 0x00, 0x05, 0});
    reader.Send(LUMI_READ_DATA, 0, 0, {read->sequence});
    auto close = reader.Expect(LUMI_FCLOSE);
    ASSERT_TRUE(close);
    reader.Send(LUMI_FCLOSE_ACK, 0, 0);
    ASSERT_EQ(result.get(), PPP_CONN_ERR_SUCCESS);
    EXPECT_TRUE(TempFolder::Read(target).empty());
}

TEST_F(TransferTest, RefusedOrTimedOutReceiveLeavesTheTargetAsItWas) {
    const Bytes kept = {'k', 'e', 'p', 't'};
    const std::string target = folder.Write("Book.la", kept);
    {
        CPPPTransfer transfer(target.c_str(), "Book.la", PPP_CONN_XFER_DIR_RECEIVE, 1,
                              LUMO_FILE_TYPE_DEFAULT, 1);
        auto result = StartTransfer(transfer);
        ASSERT_TRUE(reader.Expect(LUMI_FOPEN_ALT));
        reader.Send(LUMI_FHANDLE, 0, 0, HandleData(0));
        EXPECT_EQ(result.get(), PPP_CONN_ERR_REMOTE_FILE_OPEN);
    }
    {
        CPPPTransfer transfer(target.c_str(), "Book.la", PPP_CONN_XFER_DIR_RECEIVE, 1,
                              LUMO_FILE_TYPE_DEFAULT, 1);
        auto result = StartTransfer(transfer);
        ASSERT_TRUE(reader.Expect(LUMI_FOPEN_ALT, 5000, true));
        reader.Send(LUMI_FHANDLE, 0, kSmallHandle, HandleData(5000));
        auto read = reader.Expect(LUMI_FREAD);
        ASSERT_TRUE(read);
        Bytes block{read->sequence};
        block.resize(2049, 'p');
        reader.Send(LUMI_READ_DATA, 0, 0, block);
        EXPECT_EQ(result.get(), PPP_CONN_ERR_TIMEOUT);  // the reader falls silent
    }
    EXPECT_EQ(TempFolder::Read(target), kept);
    EXPECT_EQ(std::distance(
                  std::filesystem::directory_iterator(std::filesystem::path(target).parent_path()),
                  std::filesystem::directory_iterator{}),
              1);
}

TEST_F(TransferTest, WriteErrorWhileReceivingCancelsAndFails) {
    const std::string target = folder.File("__TITLES");
    struct rlimit old {};
    getrlimit(RLIMIT_FSIZE, &old);
    signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 1000;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);

    CPPPTransfer transfer(target.c_str(), "__TITLES", PPP_CONN_XFER_DIR_RECEIVE, 1,
                          LUMO_FILE_TYPE_DEFAULT, 1);
    auto result = StartTransfer(transfer);
    ASSERT_TRUE(reader.Expect(LUMI_FOPEN_ALT));
    reader.Send(LUMI_FHANDLE, 0, kSmallHandle, HandleData(4000));
    auto read = reader.Expect(LUMI_FREAD);
    ASSERT_TRUE(read);
    Bytes block{read->sequence};
    block.resize(2049, 't');
    reader.Send(LUMI_READ_DATA, 0, 0, block);
    auto cancel = reader.Expect(LUMI_FCANCEL);
    const PPP_CONN_ERR got = result.get();
    setrlimit(RLIMIT_FSIZE, &old);
    ASSERT_TRUE(cancel);
    EXPECT_EQ(cancel->parameter, kSmallHandle);
    EXPECT_EQ(got, PPP_CONN_ERR_LOCAL_FILE_OPEN);
    EXPECT_FALSE(std::filesystem::exists(target));
    reader.Send(LUMI_FCANCEL_ACK, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return engine->GetLinkState() == LUMS_OPEN; }));
}

TEST_F(TransferTest, CancelReleasesTheCallerAtOnce) {
    const std::string target = folder.File("x");
    CPPPTransfer transfer(target.c_str(), "x", PPP_CONN_XFER_DIR_RECEIVE, 1, LUMO_FILE_TYPE_DEFAULT,
                          1);
    auto result = StartTransfer(transfer);
    ASSERT_TRUE(reader.Expect(LUMI_FOPEN_ALT));
    reader.Send(LUMI_FHANDLE, 0, kSmallHandle, HandleData(9000));
    ASSERT_TRUE(reader.Expect(LUMI_FREAD));
    EXPECT_EQ(engine->CancelFileTransfer(), PPP_CONN_ERR_SUCCESS);
    EXPECT_EQ(result.get(), PPP_CONN_ERR_CANCELLED);
    EXPECT_TRUE(transfer.HasEnded());
    EXPECT_EQ(Reports().back().pppError, PPP_CONN_ERR_CANCELLED);
    auto cancel = reader.Expect(LUMI_FCANCEL);
    ASSERT_TRUE(cancel);
    EXPECT_EQ(cancel->parameter, kSmallHandle);
    reader.Send(LUMI_FCANCEL_ACK, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return engine->GetLinkState() == LUMS_OPEN; }));
}

// Starts a send while the reader is busy after a file, so that the command waits.
class BusyTest : public TransferTest {
protected:
    void MakeBusy() {
        reader.Send(LUMI_STATUS_RESP, 0, 0, {0, 0, 0, 0, 1});
        ASSERT_TRUE(WaitUntil([&] { return engine->GetLinkState() == LUMS_BUSY; }));
    }
};

TEST_F(BusyTest, CancelReleasesACommandWaitingForTheBusyReaderAndItNeverRuns) {
    MakeBusy();
    const std::string path = folder.Write("e.lx", PatternBytes(10));
    CPPPTransfer transfer(path.c_str(), "e.lx", PPP_CONN_XFER_DIR_SEND, 1, LUMO_FILE_TYPE_DEFAULT,
                          1);
    auto result = StartTransfer(transfer);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(engine->CancelFileTransfer(), PPP_CONN_ERR_SUCCESS);
    ASSERT_EQ(result.wait_for(std::chrono::seconds(2)), std::future_status::ready);
    EXPECT_EQ(result.get(), PPP_CONN_ERR_CANCELLED);
    ASSERT_TRUE(reader.Expect(LUMI_CHECK, 5000, false));
    reader.SendCheckData();
    ASSERT_TRUE(WaitUntil([&] { return engine->GetLinkState() == LUMS_OPEN; }));
    EXPECT_FALSE(reader.Expect(LUMI_FCREATE, 2500, true));
}

TEST_F(BusyTest, CommandWaitingForALostReaderIsReleasedAsNotConnected) {
    MakeBusy();
    const std::string path = folder.Write("f.lx", PatternBytes(10));
    CPPPTransfer transfer(path.c_str(), "f.lx", PPP_CONN_XFER_DIR_SEND, 1, LUMO_FILE_TYPE_DEFAULT,
                          1);
    auto result = StartTransfer(transfer);
    ASSERT_EQ(result.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_EQ(result.get(), PPP_CONN_ERR_NOT_CONNECTED);
    EXPECT_EQ(engine->GetLinkState(), LUMS_CLOSED);
}

TEST_F(BusyTest, CommandWaitingForTheBusyReaderRunsOnceItAnswers) {
    MakeBusy();
    const std::string path = folder.Write("g.lx", PatternBytes(10));
    CPPPTransfer transfer(path.c_str(), "g.lx", PPP_CONN_XFER_DIR_SEND, 1, LUMO_FILE_TYPE_DEFAULT,
                          1);
    auto result = StartTransfer(transfer);
    EXPECT_EQ(result.wait_for(std::chrono::milliseconds(300)), std::future_status::timeout);
    auto create = reader.Expect(LUMI_FCREATE, 5000, true);
    ASSERT_TRUE(create);
    reader.Send(LUMI_FHANDLE, 0, kBigHandle, Bytes(8, 0));
    AcceptWrites(kBigHandle);
    EXPECT_EQ(result.get(), PPP_CONN_ERR_SUCCESS);
}

TEST_F(TransferTest, DestroyingTheEngineReleasesAWaitingTransferQuickly) {
    const std::string target = folder.File("y");
    CPPPTransfer transfer(target.c_str(), "y", PPP_CONN_XFER_DIR_RECEIVE, 1, LUMO_FILE_TYPE_DEFAULT,
                          1);
    auto result = StartTransfer(transfer);
    ASSERT_TRUE(reader.Expect(LUMI_FOPEN_ALT));
    const auto started = std::chrono::steady_clock::now();
    engine.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(500));
    EXPECT_NE(result.get(), PPP_CONN_ERR_SUCCESS);
    EXPECT_TRUE(transfer.HasEnded());
}

}  // namespace
}  // namespace lumolink::testing
