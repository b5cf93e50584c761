#include "lumosim/ReaderSession.h"

#include <gtest/gtest.h>

#include "lumosim/Flash.h"
#include "lumosim/LineFaults.h"
#include "lumosim/ReaderFiles.h"
#include "lumosim/ReaderPackets.h"
#include "lumosim/ReaderSettings.h"
#include "lumosim/harness/TestFiles.h"

namespace lumosim {
namespace {

using namespace std::chrono_literals;
using testing::Bytes;
using Clock = ReaderSession::Clock;

struct Answer {
    uint8_t code = 0;
    uint8_t parameter = 0;
    uint16_t length = 0;
    std::vector<uint8_t> data;
    lumolink::FrameEvent event = lumolink::FrameEvent::None;
};

class ReaderSessionTest : public ::testing::Test {
protected:
    void StartSession(SessionOptions options = {}) {
        session_.emplace(
            settings_, files_, options, faults_,
            [this](std::span<const uint8_t> frame) { Receive(frame); }, [](const std::string&) {});
    }

    // The answers as the host's receiver sees them.
    void Receive(std::span<const uint8_t> frame) {
        for (uint8_t byte : frame) {
            const lumolink::FrameEvent event = host_.PutByte(byte);
            if (event == lumolink::FrameEvent::None || event == lumolink::FrameEvent::Empty)
                continue;
            Answer answer;
            answer.event = event;
            if (event == lumolink::FrameEvent::Packet) {
                const auto packet = host_.Packet();
                answer.code = packet.code();
                answer.parameter = packet.parameter();
                answer.length = packet.length();
                answer.data.assign(packet.data().begin(), packet.data().end());
            }
            answers_.push_back(answer);
        }
    }

    Answer Ask(uint8_t code, uint8_t parameter = 0, std::vector<uint8_t> data = {},
               Clock::time_point now = Clock::now()) {
        const auto length = static_cast<uint16_t>(data.size() + 5);
        std::vector<uint8_t> packet = {code, sequence_++, static_cast<uint8_t>(length >> 8),
                                       static_cast<uint8_t>(length), parameter};
        packet.insert(packet.end(), data.begin(), data.end());
        last_ = packet;
        return Deliver(packet, now);
    }

    // The host sends its last packet again, unchanged.
    Answer Repeat() { return Deliver(last_, Clock::now()); }

    Answer Deliver(const std::vector<uint8_t>& packet, Clock::time_point now) {
        answers_.clear();
        session_->Handle(lumolink::PacketView(packet), now);
        EXPECT_EQ(answers_.size(), 1u);
        return answers_.empty() ? Answer{} : answers_.back();
    }

    std::vector<uint8_t> CreateData(const std::string& name, uint32_t size) {
        std::vector<uint8_t> data(68, 0);
        std::copy(name.begin(), name.end(), data.begin());
        for (int i = 0; i < 4; ++i) data[64 + i] = static_cast<uint8_t>(size >> (24 - 8 * i));
        return data;
    }

    std::vector<uint8_t> NameData(const std::string& name) {
        std::vector<uint8_t> data = Bytes(name);
        data.push_back(0);
        return data;
    }

    uint8_t LastSequence() const { return static_cast<uint8_t>(sequence_ - 1); }

    testing::TempFolder folder_;
    Flash flash_{folder_.Path(), 1 << 20};
    ReaderSettings settings_;
    ReaderFiles files_{flash_, settings_};
    LineFaults faults_{0, 0, 1};
    std::optional<ReaderSession> session_;
    lumolink::FrameReceiver host_{lumolink::LinkSide::Host};
    std::vector<Answer> answers_;
    std::vector<uint8_t> last_;
    uint8_t sequence_ = 0x40;
};

TEST_F(ReaderSessionTest, CheckIsAnsweredWithTheIdentity) {
    StartSession();
    const Answer answer = Ask(lumolink::LUMI_CHECK);
    ASSERT_EQ(answer.code, lumolink::LUMI_CHECK_DATA);
    ASSERT_EQ(answer.data.size(), 40u);
    const std::string identity(answer.data.begin(), answer.data.end());
    EXPECT_EQ(identity.substr(0, identity.find('\0')), "001.024-RM-024-R/LUMOSIM-0001");
    EXPECT_EQ(identity.find_first_not_of('\0', identity.find('\0')), std::string::npos);
}

TEST_F(ReaderSessionTest, AShortIdentityCarriesOnlyItsText) {
    SessionOptions options;
    options.shortIdentity = true;
    StartSession(options);
    const Answer answer = Ask(lumolink::LUMI_CHECK);
    EXPECT_EQ(std::string(answer.data.begin(), answer.data.end()), "001.024-RM-024-R/LUMOSIM-0001");
}

TEST_F(ReaderSessionTest, SpeedNegotiationChoosesTheHighestCommonSpeed) {
    struct Case {
        uint8_t readerSpeeds, hostMask, chosen;
        unsigned speed;
    };
    for (const Case& c : {Case{0x1F, 0x1F, 0x10, 115200}, Case{0x0C, 0x1F, 0x08, 57600},
                          Case{0x1F, 0x06, 0x04, 19200}, Case{0x18, 0x01, 0x00, 57600}}) {
        SessionOptions options;
        options.speeds = c.readerSpeeds;
        StartSession(options);
        const Answer answer = Ask(lumolink::LUMI_NEGOTIATE_BAUD, c.hostMask);
        EXPECT_EQ(answer.code, lumolink::LUMI_BAUD_ACK);
        EXPECT_EQ(answer.parameter, c.chosen);
        EXPECT_EQ(session_->LineSpeed(), c.speed);
    }
}

TEST_F(ReaderSessionTest, AWrittenFileIsStoredOnceEvenWhenChunksAreRepeated) {
    StartSession();
    const std::vector<uint8_t> content(3000, 0x5A);
    Answer answer = Ask(lumolink::LUMI_FCREATE, 0, CreateData("Book.lx", 3000));
    ASSERT_EQ(answer.code, lumolink::LUMI_FHANDLE);
    ASSERT_EQ(answer.length, 13);
    const uint8_t handle = answer.parameter;
    ASSERT_NE(handle, 0);

    answer = Ask(lumolink::LUMI_FWRITE, handle, {content.begin(), content.begin() + 2048});
    EXPECT_EQ(answer.code, lumolink::LUMI_FWRITE_ACK);
    EXPECT_EQ(answer.length, 9);
    EXPECT_EQ(answer.data[0], LastSequence());
    // The acknowledgement was lost: the host sends the same chunk again.
    const Answer again = Repeat();
    EXPECT_EQ(again.code, lumolink::LUMI_FWRITE_ACK);
    EXPECT_EQ(again.data[0], LastSequence());

    std::vector<uint8_t> last(content.begin() + 2048, content.end());
    last.resize(1024, 0);  // rounded up to a multiple of 512
    answer = Ask(lumolink::LUMI_FWRITE, handle, last);
    EXPECT_EQ(answer.data[0], LastSequence());
    EXPECT_EQ(Ask(lumolink::LUMI_FCLOSE, handle).code, lumolink::LUMI_FCLOSE_ACK);
    EXPECT_EQ(Repeat().code, lumolink::LUMI_FCLOSE_ACK);

    EXPECT_EQ(testing::ReadFile(folder_.Path() / "Book.lx"), content);
    EXPECT_EQ(session_->Stats().filesStored, 1u);
    EXPECT_EQ(session_->Stats().repeats, 2u);
}

TEST_F(ReaderSessionTest, AFileIsReadInBlocksAndARepeatedReadGetsTheSameBlock) {
    StartSession();
    std::vector<uint8_t> content(2048 + 100);
    for (std::size_t i = 0; i < content.size(); ++i) content[i] = static_cast<uint8_t>(i);
    ASSERT_TRUE(flash_.Write("Book.la", content));

    Answer answer = Ask(lumolink::LUMI_FOPEN_ALT, 0, NameData("book.LA"));
    ASSERT_EQ(answer.code, lumolink::LUMI_FHANDLE);
    ASSERT_EQ(answer.length, 13);
    const uint32_t size = answer.data[4] | answer.data[5] << 8 | answer.data[6] << 16 |
                          uint32_t(answer.data[7]) << 24;
    EXPECT_EQ(size, content.size());
    const uint8_t handle = answer.parameter;

    answer = Ask(lumolink::LUMI_FREAD, handle);
    ASSERT_EQ(answer.code, lumolink::LUMI_READ_DATA);
    EXPECT_EQ(answer.data[0], LastSequence());
    EXPECT_EQ(answer.length, 6 + 2048);
    EXPECT_EQ(Repeat().data, answer.data);

    answer = Ask(lumolink::LUMI_FREAD, handle);
    EXPECT_EQ(answer.data[0], LastSequence());
    ASSERT_EQ(answer.data.size(), 1u + 100);
    EXPECT_TRUE(std::equal(answer.data.begin() + 1, answer.data.end(), content.begin() + 2048));
    EXPECT_EQ(Ask(lumolink::LUMI_FCLOSE, handle).code, lumolink::LUMI_FCLOSE_ACK);
}

TEST_F(ReaderSessionTest, RefusedAndUnknownFilesGetHandleZero) {
    files_.SetRefused({"*.lxf"});
    StartSession();
    EXPECT_EQ(Ask(lumolink::LUMI_FCREATE, 0, CreateData("SMALL.LXF", 10)).parameter, 0);
    EXPECT_EQ(Ask(lumolink::LUMI_FOPEN, 0, NameData("nothing.lx")).parameter, 0);
    EXPECT_EQ(Ask(lumolink::LUMI_FCREATE, 0, {1, 2, 3}).parameter, 0);  // too short to name a file
    // Writing to a handle that is not open is answered with an abort, not silence.
    EXPECT_EQ(Ask(lumolink::LUMI_FWRITE, 9, {1, 2}).code, lumolink::LUMI_REMOTE_ABORT);
    EXPECT_EQ(Ask(lumolink::LUMI_FREAD, 9).code, lumolink::LUMI_REMOTE_ABORT);
}

TEST_F(ReaderSessionTest, BusyAfterAFileThenIdentityAgain) {
    SessionOptions options;
    options.busyAfterFile = 500ms;
    StartSession(options);
    const auto start = Clock::now();
    const uint8_t handle = Ask(lumolink::LUMI_FCREATE, 0, CreateData("a.txt", 1)).parameter;
    Ask(lumolink::LUMI_FWRITE, handle, {'x'}, start);
    Ask(lumolink::LUMI_FCLOSE, handle, {}, start);

    Answer answer = Ask(lumolink::LUMI_CHECK, 0, {}, start + 100ms);
    ASSERT_EQ(answer.code, lumolink::LUMI_STATUS_RESP);
    EXPECT_EQ(answer.data[4] & 1, 1);
    EXPECT_EQ(Ask(lumolink::LUMI_CHECK, 0, {}, start + 600ms).code, lumolink::LUMI_CHECK_DATA);
    answer = Ask(lumolink::LUMI_STATUS, 0, {}, start + 600ms);
    EXPECT_EQ(answer.data[4] & 1, 0);
}

TEST_F(ReaderSessionTest, RemoteAbortAndCancelLeaveNoFile) {
    SessionOptions options;
    options.abortAfter = 2048;
    StartSession(options);
    uint8_t handle = Ask(lumolink::LUMI_FCREATE, 0, CreateData("big.lx", 5000)).parameter;
    EXPECT_EQ(Ask(lumolink::LUMI_FWRITE, handle, std::vector<uint8_t>(2048)).code,
              lumolink::LUMI_REMOTE_ABORT);

    handle = Ask(lumolink::LUMI_FCREATE, 0, CreateData("small.lx", 100)).parameter;
    EXPECT_EQ(Ask(lumolink::LUMI_FWRITE, handle, std::vector<uint8_t>(100)).code,
              lumolink::LUMI_FWRITE_ACK);
    EXPECT_EQ(Ask(lumolink::LUMI_FCANCEL, handle).code, lumolink::LUMI_FCANCEL_ACK);
    EXPECT_EQ(Ask(lumolink::LUMI_FCLOSE, handle).code, lumolink::LUMI_FCLOSE_ACK);

    EXPECT_TRUE(flash_.ListNames().empty());
    EXPECT_EQ(session_->Stats().aborts, 1u);
}

TEST_F(ReaderSessionTest, ResetRestartsTheReaderAtTheDefaultSpeed) {
    SessionOptions options;
    options.restartTime = 1s;
    StartSession(options);
    Ask(lumolink::LUMI_NEGOTIATE_BAUD, 0x10);
    const std::string commands = "CMD!\r\nRESET\r\n";
    const auto now = Clock::now();
    const uint8_t handle =
        Ask(lumolink::LUMI_FCREATE, 0, CreateData("__CMDFILE", uint32_t(commands.size())))
            .parameter;
    Ask(lumolink::LUMI_FWRITE, handle, Bytes(commands), now);
    EXPECT_EQ(Ask(lumolink::LUMI_FCLOSE, handle, {}, now).code, lumolink::LUMI_FCLOSE_ACK);

    EXPECT_FALSE(session_->Listening(now + 500ms));
    EXPECT_EQ(session_->LineSpeed(), 57600u);
    session_->Tick(now + 1100ms);
    EXPECT_TRUE(session_->Listening(now + 1100ms));
}

TEST_F(ReaderSessionTest, NegativeAcknowledgementsByMode) {
    SessionOptions options;
    StartSession(options);
    session_->OnBadFrame(Clock::now());
    EXPECT_EQ(session_->Stats().nacks, 0u);

    options.nack = NackMode::BadFrames;
    StartSession(options);
    answers_.clear();
    session_->OnBadFrame(Clock::now());
    ASSERT_EQ(answers_.size(), 1u);
    EXPECT_EQ(answers_[0].code, lumolink::LUMI_NACK);
    EXPECT_EQ(Ask(lumolink::LUMI_CHECK).code, lumolink::LUMI_CHECK_DATA);
    // A chunk whose acknowledgement was lost comes again after a damaged copy was refused: the
    // repeat gets the acknowledgement, not the refusal.
    const uint8_t handle = Ask(lumolink::LUMI_FCREATE, 0, CreateData("a", 3)).parameter;
    Ask(lumolink::LUMI_FWRITE, handle, {1, 2, 3});
    session_->OnBadFrame(Clock::now());
    EXPECT_EQ(Repeat().code, lumolink::LUMI_FWRITE_ACK);

    options.nack = NackMode::Always;
    StartSession(options);
    EXPECT_EQ(Ask(lumolink::LUMI_CHECK).code, lumolink::LUMI_NACK);
    EXPECT_EQ(Ask(lumolink::LUMI_FCREATE, 0, CreateData("a", 1)).code, lumolink::LUMI_NACK);
}

TEST_F(ReaderSessionTest, InjectedLengthFaultsKeepAValidCheckSequence) {
    SessionOptions options;
    options.badLengthProbability = 1.0;
    StartSession(options);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(Ask(lumolink::LUMI_CHECK).event, lumolink::FrameEvent::BadLength);
    }
    ASSERT_TRUE(flash_.Write("a.bin", std::vector<uint8_t>(10)));
    Ask(lumolink::LUMI_FOPEN, 0, NameData("a.bin"));
    ASSERT_TRUE(files_.IsOpen(1));
    // File data also comes with a length of 5, which frames well but is too short to carry
    // the acknowledged sequence number.
    std::vector<uint16_t> framedLengths;
    for (int i = 0; i < 3; ++i) {
        const Answer answer = Ask(lumolink::LUMI_FREAD, 1);
        if (answer.event == lumolink::FrameEvent::Packet)
            framedLengths.push_back(answer.length);
        else
            EXPECT_EQ(answer.event, lumolink::FrameEvent::BadLength);
    }
    EXPECT_EQ(framedLengths, std::vector<uint16_t>{5});
    EXPECT_EQ(session_->Stats().badLengthFrames, 7u);
}

}  // namespace
}  // namespace lumosim
