#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

#include "lumolink/LinkFraming.h"

namespace lumolink {
namespace {

using Bytes = std::vector<uint8_t>;
using ::testing::ElementsAreArray;

// Bit-by-bit FCS-16, independent of the table the link uses.
uint16_t BitwiseFcs(const Bytes& bytes) {
    uint16_t fcs = 0xFFFF;
    for (uint8_t b : bytes) {
        fcs ^= b;
        for (int i = 0; i < 8; ++i) fcs = (fcs & 1) ? (fcs >> 1) ^ 0x8408 : fcs >> 1;
    }
    return fcs;
}

// A frame around arbitrary content, escaping what the link escapes.
Bytes WireFrame(const Bytes& content) {
    Bytes body = content;
    const uint16_t fcs = BitwiseFcs(content) ^ 0xFFFF;
    body.push_back(fcs & 0xFF);
    body.push_back(fcs >> 8);
    Bytes wire{0x7E};
    for (uint8_t b : body) {
        if (b < 0x20 || b == 0x7D || b == 0x7E) {
            wire.push_back(0x7D);
            wire.push_back(b ^ 0x20);
        } else {
            wire.push_back(b);
        }
    }
    wire.push_back(0x7E);
    return wire;
}

std::vector<FrameEvent> Feed(FrameReceiver& receiver, const Bytes& wire) {
    std::vector<FrameEvent> events;
    for (uint8_t b : wire) {
        FrameEvent e = receiver.PutByte(b);
        if (e != FrameEvent::None) events.push_back(e);
    }
    return events;
}

TEST(Fcs16, MatchesBitwiseComputationAndGoodValue) {
    const Bytes content = {0xFF, 0x03, 0x80, 0x83, 0x00, 0x00, 0x00, 0x05, 0x00};
    EXPECT_EQ(Fcs16(kFcsInitial, content), BitwiseFcs(content));
    EXPECT_EQ(BitwiseFcs(content) ^ 0xFFFF, 0x767C);
    Bytes withFcs = content;
    withFcs.push_back(0x7C);
    withFcs.push_back(0x76);
    EXPECT_EQ(Fcs16(kFcsInitial, withFcs), kFcsGood);
}

TEST(FrameBuilder, CheckPacketIsTheKnownNineteenBytes) {
    FrameBuilder builder;
    ASSERT_TRUE(builder.Build(kDeviceProtocol, 0, 0, 0, {}));
    const Bytes expected = {0x7E, 0xFF, 0x7D, 0x23, 0x80, 0x83, 0x7D, 0x20, 0x7D, 0x20,
                            0x7D, 0x20, 0x7D, 0x25, 0x7D, 0x20, 0x7C, 0x76, 0x7E};
    EXPECT_THAT(builder.Frame(), ElementsAreArray(expected));
}

TEST(FrameBuilder, EscapesControlBytesAndFlagsOnly) {
    for (int b = 0; b < 256; ++b) {
        const bool escaped = b < 0x20 || b == 0x7D || b == 0x7E;
        EXPECT_EQ(IsEscapedOnWire(static_cast<uint8_t>(b)), escaped) << b;
    }
    FrameBuilder builder;
    const Bytes data = {0x7D, 0x7E, 0x1F, 0x20, 0x80, 0xFF};
    ASSERT_TRUE(builder.Build(kDeviceProtocol, 5, 7, 3, data));
    Bytes frame(builder.Frame().begin(), builder.Frame().end());
    // Data follows the 0x7E, FF, 7D 23, 80, 83 prefix and the stuffed header 05 07 00 0B 03.
    const Bytes prefix = {0x7E, 0xFF, 0x7D, 0x23, 0x80, 0x83, 0x7D, 0x25,
                          0x7D, 0x27, 0x7D, 0x20, 0x7D, 0x2B, 0x7D, 0x23};
    const Bytes stuffedData = {0x7D, 0x5D, 0x7D, 0x5E, 0x7D, 0x3F, 0x20, 0x80, 0xFF};
    ASSERT_GE(frame.size(), prefix.size() + stuffedData.size());
    EXPECT_EQ(Bytes(frame.begin(), frame.begin() + prefix.size()), prefix);
    EXPECT_EQ(
        Bytes(frame.begin() + prefix.size(), frame.begin() + prefix.size() + stuffedData.size()),
        stuffedData);
}

TEST(FrameBuilder, RefusesOversizedDataAndKeepsThePreviousFrame) {
    FrameBuilder builder;
    ASSERT_TRUE(builder.Build(kDeviceProtocol, 5, 1, 2, Bytes(2048, 0x7E)));
    const Bytes before(builder.Frame().begin(), builder.Frame().end());
    EXPECT_FALSE(builder.Build(kDeviceProtocol, 5, 2, 2, Bytes(FrameBuilder::kMaxData + 1, 0)));
    EXPECT_EQ(Bytes(builder.Frame().begin(), builder.Frame().end()), before);
    EXPECT_TRUE(builder.Build(kDeviceProtocol, 5, 2, 2, Bytes(FrameBuilder::kMaxData, 0x7D)));
    EXPECT_LE(builder.Frame().size(), kLinkBufferSize);
}

TEST(FrameReceiver, EachSideReceivesWhatTheOtherBuilds) {
    Bytes data(2049);
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i * 7);
    for (LinkSide sender : {LinkSide::Host, LinkSide::Reader}) {
        const LinkSide receiverSide = sender == LinkSide::Host ? LinkSide::Reader : LinkSide::Host;
        FrameBuilder builder(sender);
        FrameReceiver receiver(receiverSide);
        ASSERT_TRUE(builder.Build(kDeviceProtocol, 18, 200, 9, data));
        EXPECT_THAT(Feed(receiver, Bytes(builder.Frame().begin(), builder.Frame().end())),
                    ElementsAreArray({FrameEvent::Packet}));
        const PacketView packet = receiver.Packet();
        EXPECT_EQ(packet.code(), 18);
        EXPECT_EQ(packet.sequence(), 200);
        EXPECT_EQ(packet.length(), 2054);
        EXPECT_EQ(packet.parameter(), 9);
        EXPECT_THAT(packet.data(), ElementsAreArray(data));
    }
}

TEST(FrameReceiver, HostRejectsItsOwnAddressedFrames) {
    FrameBuilder builder(LinkSide::Host);
    FrameReceiver receiver(LinkSide::Host);
    ASSERT_TRUE(builder.Build(kDeviceProtocol, 0, 0, 0, {}));
    EXPECT_THAT(Feed(receiver, Bytes(builder.Frame().begin(), builder.Frame().end())),
                ElementsAreArray({FrameEvent::BadProtocol}));
}

struct ContentCase {
    const char* name;
    Bytes content;
    FrameEvent expected;
};

class FrameCheck : public ::testing::TestWithParam<ContentCase> {};

TEST_P(FrameCheck, ClassifiesTheFrame) {
    FrameReceiver receiver;
    EXPECT_THAT(Feed(receiver, WireFrame(GetParam().content)),
                ElementsAreArray({GetParam().expected}));
}

INSTANTIATE_TEST_SUITE_P(
    Content, FrameCheck,
    ::testing::Values(
        ContentCase{"protocol_first", {0x80, 0x83, 1, 0, 0, 5, 0}, FrameEvent::Packet},
        ContentCase{"address_f0", {0xF0, 0x03, 0x80, 0x83, 1, 0, 0, 5, 0}, FrameEvent::Packet},
        // 0xFF is odd, so it is read as a one-byte protocol number.
        ContentCase{"address_ff", {0xFF, 0x03, 0x80, 0x83, 1, 0, 0, 5, 0}, FrameEvent::BadProtocol},
        ContentCase{"other_protocol", {0xC0, 0x21, 1, 0, 0, 5, 0}, FrameEvent::BadProtocol},
        ContentCase{"one_stored_byte", {}, FrameEvent::TooShort},
        ContentCase{"three_after_protocol", {0x80, 0x83, 1, 0, 0}, FrameEvent::Runt},
        ContentCase{"four_byte_packet", {0x80, 0x83, 1, 0, 0, 4}, FrameEvent::BadLength},
        ContentCase{"length_below_header", {0x80, 0x83, 18, 0, 0, 4, 0}, FrameEvent::BadLength},
        ContentCase{
            "length_beyond_bytes", {0x80, 0x83, 18, 0, 0xFF, 0xFF, 0, 1, 2}, FrameEvent::BadLength},
        ContentCase{
            "length_shorter_than_bytes", {0x80, 0x83, 14, 0, 0, 5, 0, 9, 9}, FrameEvent::Packet}),
    [](const auto& paramInfo) { return std::string(paramInfo.param.name); });

TEST(FrameReceiver, DropsShortAndCorruptFrames) {
    FrameReceiver receiver;
    // Flag, one byte, flag: two stored bytes would still be too short.
    EXPECT_THAT(Feed(receiver, {0x7E, 0x7E, 0x41, 0x7E, 0x41, 0x42, 0x7E}),
                ElementsAreArray({FrameEvent::Empty, FrameEvent::TooShort, FrameEvent::TooShort}));
    Bytes corrupt = WireFrame({0x80, 0x83, 7, 0, 0, 5, 0});
    corrupt[3] ^= 0x01;
    // The opening flag right after the previous closing flag is an empty frame.
    EXPECT_THAT(Feed(receiver, corrupt), ElementsAreArray({FrameEvent::Empty, FrameEvent::BadFcs}));
}

TEST(FrameReceiver, EscapeBeforeFlagAbortsOnlyThatFrame) {
    FrameReceiver receiver;
    Bytes first = WireFrame({0x80, 0x83, 1, 0, 0, 5, 0});
    first.back() = 0x7D;
    first.push_back(0x7E);
    const Bytes second = WireFrame({0x80, 0x83, 2, 0, 0, 5, 0});
    first.insert(first.end(), second.begin() + 1, second.end());
    EXPECT_THAT(Feed(receiver, first), ElementsAreArray({FrameEvent::Packet}));
    EXPECT_EQ(receiver.Packet().code(), 2);
}

TEST(FrameReceiver, TossesBytesBeforeTheFirstFlagAndAfterAnOverflow) {
    FrameReceiver receiver;
    const uint32_t before = FrameReceiver::TossedTotal();
    EXPECT_TRUE(Feed(receiver, {0x41, 0x42, 0x43}).empty());
    EXPECT_EQ(FrameReceiver::TossedTotal() - before, 3u);

    Bytes overflow{0x7E};
    overflow.insert(overflow.end(), kLinkBufferSize + 10, 0x41);
    overflow.push_back(0x7E);
    // The flag ending the overflowed frame checks nothing; the byte that found the buffer full
    // was lost, the next nine were tossed.
    EXPECT_TRUE(Feed(receiver, overflow).empty());
    EXPECT_EQ(FrameReceiver::TossedTotal() - before, 3u + 9u);
    EXPECT_THAT(Feed(receiver, WireFrame({0x80, 0x83, 1, 0, 0, 5, 0})),
                ElementsAreArray({FrameEvent::Empty, FrameEvent::Packet}));
}

}  // namespace
}  // namespace lumolink
