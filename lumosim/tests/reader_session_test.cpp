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
    const Answer answer = Ask(packet::kCheck);
    ASSERT_EQ(answer.code, packet::kCheckData);
    ASSERT_EQ(answer.data.size(), 40u);
    const std::string identity(answer.data.begin(), answer.data.end());
    EXPECT_EQ(identity.substr(0, identity.find('\0')), "001.024-RM-024-R/LUMOSIM-0001");
    EXPECT_EQ(identity.find_first_not_of('\0', identity.find('\0')), std::string::npos);
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
        const Answer answer = Ask(packet::kNegotiateBaud, c.hostMask);
        EXPECT_EQ(answer.code, packet::kBaudAck);
        EXPECT_EQ(answer.parameter, c.chosen);
        EXPECT_EQ(session_->LineSpeed(), c.speed);
    }
}

TEST_F(ReaderSessionTest, AWrittenFileIsStoredOnceEvenWhenChunksAreRepeated) {
    StartSession();
    const std::vector<uint8_t> content(3000, 0x5A);
    Answer answer = Ask(packet::kFileCreate, 0, CreateData("Book.lx", 3000));
    ASSERT_EQ(answer.code, packet::kFileHandle);
    ASSERT_EQ(answer.length, 13);
    const uint8_t handle = answer.parameter;
    ASSERT_NE(handle, 0);

    answer = Ask(packet::kFileWrite, handle, {content.begin(), content.begin() + 2048});
    EXPECT_EQ(answer.code, packet::kFileWriteAck);
    EXPECT_EQ(answer.length, 9);
    EXPECT_EQ(answer.data[0], LastSequence());
    // The acknowledgement was lost: the host sends the same chunk again.
    const Answer again = Repeat();
    EXPECT_EQ(again.code, packet::kFileWriteAck);
    EXPECT_EQ(again.data[0], LastSequence());

    std::vector<uint8_t> last(content.begin() + 2048, content.end());
    last.resize(1024, 0);  // rounded up to a multiple of 512
    answer = Ask(packet::kFileWrite, handle, last);
    EXPECT_EQ(answer.data[0], LastSequence());
    EXPECT_EQ(Ask(packet::kFileClose, handle).code, packet::kFileCloseAck);
    EXPECT_EQ(Repeat().code, packet::kFileCloseAck);

    EXPECT_EQ(testing::ReadFile(folder_.Path() / "Book.lx"), content);
    EXPECT_EQ(session_->Stats().filesStored, 1u);
    EXPECT_EQ(session_->Stats().repeats, 2u);
}

TEST_F(ReaderSessionTest, AFileIsReadInBlocksAndARepeatedReadGetsTheSameBlock) {
    StartSession();
    std::vector<uint8_t> content(2048 + 100);
    for (std::size_t i = 0; i < content.size(); ++i) content[i] = static_cast<uint8_t>(i);
    ASSERT_TRUE(flash_.Write("Book.la", content));

    Answer answer = Ask(packet::kFileOpenAlt, 0, NameData("book.LA"));
    ASSERT_EQ(answer.code, packet::kFileHandle);
    ASSERT_EQ(answer.length, 13);
    const uint32_t size = answer.data[4] | answer.data[5] << 8 | answer.data[6] << 16 |
                          uint32_t(answer.data[7]) << 24;
    EXPECT_EQ(size, content.size());
    const uint8_t handle = answer.parameter;

    answer = Ask(packet::kFileRead, handle);
    ASSERT_EQ(answer.code, packet::kReadData);
    EXPECT_EQ(answer.data[0], LastSequence());
    EXPECT_EQ(answer.length, 6 + 2048);
    EXPECT_EQ(Repeat().data, answer.data);

    answer = Ask(packet::kFileRead, handle);
    EXPECT_EQ(answer.data[0], LastSequence());
    ASSERT_EQ(answer.data.size(), 1u + 100);
    EXPECT_TRUE(std::equal(answer.data.begin() + 1, answer.data.end(), content.begin() + 2048));
    EXPECT_EQ(Ask(packet::kFileClose, handle).code, packet::kFileCloseAck);
}

TEST_F(ReaderSessionTest, RefusedAndUnknownFilesGetHandleZero) {
    files_.SetRefused({"*.lxf"});
    StartSession();
    EXPECT_EQ(Ask(packet::kFileCreate, 0, CreateData("SMALL.LXF", 10)).parameter, 0);
    EXPECT_EQ(Ask(packet::kFileOpen, 0, NameData("nothing.lx")).parameter, 0);
    EXPECT_EQ(Ask(packet::kFileCreate, 0, {1, 2, 3}).parameter, 0);  // too short to name a file
    // Writing to a handle that is not open is answered with an abort, not silence.
    EXPECT_EQ(Ask(packet::kFileWrite, 9, {1, 2}).code, packet::kRemoteAbort);
    EXPECT_EQ(Ask(packet::kFileRead, 9).code, packet::kRemoteAbort);
}

TEST_F(ReaderSessionTest, BusyAfterAFileThenIdentityAgain) {
    SessionOptions options;
    options.busyAfterFile = 500ms;
    StartSession(options);
    const auto start = Clock::now();
    const uint8_t handle = Ask(packet::kFileCreate, 0, CreateData("a.txt", 1)).parameter;
    Ask(packet::kFileWrite, handle, {'x'}, start);
    Ask(packet::kFileClose, handle, {}, start);

    Answer answer = Ask(packet::kCheck, 0, {}, start + 100ms);
    ASSERT_EQ(answer.code, packet::kStatusResponse);
    EXPECT_EQ(answer.data[4] & 1, 1);
    EXPECT_EQ(Ask(packet::kCheck, 0, {}, start + 600ms).code, packet::kCheckData);
    answer = Ask(packet::kStatus, 0, {}, start + 600ms);
    EXPECT_EQ(answer.data[4] & 1, 0);
}

TEST_F(ReaderSessionTest, RemoteAbortAndCancelLeaveNoFile) {
    SessionOptions options;
    options.abortAfter = 2048;
    StartSession(options);
    uint8_t handle = Ask(packet::kFileCreate, 0, CreateData("big.lx", 5000)).parameter;
    EXPECT_EQ(Ask(packet::kFileWrite, handle, std::vector<uint8_t>(2048)).code,
              packet::kRemoteAbort);

    handle = Ask(packet::kFileCreate, 0, CreateData("small.lx", 100)).parameter;
    EXPECT_EQ(Ask(packet::kFileWrite, handle, std::vector<uint8_t>(100)).code,
              packet::kFileWriteAck);
    EXPECT_EQ(Ask(packet::kFileCancel, handle).code, packet::kFileCancelAck);
    EXPECT_EQ(Ask(packet::kFileClose, handle).code, packet::kFileCloseAck);

    EXPECT_TRUE(flash_.ListNames().empty());
    EXPECT_EQ(session_->Stats().aborts, 1u);
}

TEST_F(ReaderSessionTest, ResetRestartsTheReaderAtTheDefaultSpeed) {
    SessionOptions options;
    options.restartTime = 1s;
    StartSession(options);
    Ask(packet::kNegotiateBaud, 0x10);
    const std::string commands = "CMD!\r\nRESET\r\n";
    const auto now = Clock::now();
    const uint8_t handle =
        Ask(packet::kFileCreate, 0, CreateData("__CMDFILE", uint32_t(commands.size()))).parameter;
    Ask(packet::kFileWrite, handle, Bytes(commands), now);
    EXPECT_EQ(Ask(packet::kFileClose, handle, {}, now).code, packet::kFileCloseAck);

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
    EXPECT_EQ(answers_[0].code, packet::kNack);
    EXPECT_EQ(Ask(packet::kCheck).code, packet::kCheckData);
    // A chunk whose acknowledgement was lost comes again after a damaged copy was refused: the
    // repeat gets the acknowledgement, not the refusal.
    const uint8_t handle = Ask(packet::kFileCreate, 0, CreateData("a", 3)).parameter;
    Ask(packet::kFileWrite, handle, {1, 2, 3});
    session_->OnBadFrame(Clock::now());
    EXPECT_EQ(Repeat().code, packet::kFileWriteAck);

    options.nack = NackMode::Always;
    StartSession(options);
    EXPECT_EQ(Ask(packet::kCheck).code, packet::kNack);
    EXPECT_EQ(Ask(packet::kFileCreate, 0, CreateData("a", 1)).code, packet::kNack);
}

TEST_F(ReaderSessionTest, InjectedLengthFaultsKeepAValidCheckSequence) {
    SessionOptions options;
    options.badLengthProbability = 1.0;
    StartSession(options);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(Ask(packet::kCheck).event, lumolink::FrameEvent::BadLength);
    }
    ASSERT_TRUE(flash_.Write("a.bin", std::vector<uint8_t>(10)));
    Ask(packet::kFileOpen, 0, NameData("a.bin"));
    ASSERT_TRUE(files_.IsOpen(1));
    // File data also comes with a length of 5, which frames well but is too short to carry
    // the acknowledged sequence number.
    std::vector<uint16_t> framedLengths;
    for (int i = 0; i < 3; ++i) {
        const Answer answer = Ask(packet::kFileRead, 1);
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
