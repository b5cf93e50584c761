#include "lumolink/LinkFraming.h"

#include <atomic>

namespace lumolink {
namespace {

constexpr std::array<uint16_t, 256> MakeFcsTable() {
    std::array<uint16_t, 256> table{};
    for (unsigned b = 0; b < 256; ++b) {
        unsigned v = b;
        for (int i = 0; i < 8; ++i) v = (v & 1) ? (v >> 1) ^ 0x8408 : v >> 1;
        table[b] = static_cast<uint16_t>(v);
    }
    return table;
}

constexpr std::array<uint16_t, 256> kFcsTable = MakeFcsTable();
static_assert(kFcsTable[1] == 0x1189 && kFcsTable[255] == 0x0F78, "RFC 1662 FCS table");

// Escape map of the link: word 0 covers 0x00..0x1F, word 3 bits 29 and 30 are 0x7D and 0x7E.
constexpr std::array<uint32_t, 8> kEscapeMap = {0xFFFFFFFF, 0, 0, 0x60000000, 0, 0, 0, 0};

constexpr uint8_t kAllStationsAddress = 0xFF;
constexpr uint8_t kUnnumberedControl = 0x03;

std::atomic<uint32_t> tossedTotal{0};

}  // namespace

uint16_t Fcs16Step(uint16_t fcs, uint8_t byte) {
    return static_cast<uint16_t>((fcs >> 8) ^ kFcsTable[(fcs ^ byte) & 0xFF]);
}

uint16_t Fcs16(uint16_t fcs, std::span<const uint8_t> bytes) {
    for (uint8_t b : bytes) fcs = Fcs16Step(fcs, b);
    return fcs;
}

bool IsEscapedOnWire(uint8_t byte) { return (kEscapeMap[byte / 32] >> (byte % 32)) & 1; }

void FrameBuilder::PutStuffed(uint8_t byte) {
    if (IsEscapedOnWire(byte)) {
        buffer_[count_++] = kEscape;
        buffer_[count_++] = byte ^ kEscapeXor;
    } else {
        buffer_[count_++] = byte;
    }
}

void FrameBuilder::PutWithFcs(uint8_t byte) {
    fcs_ = Fcs16Step(fcs_, byte);
    PutStuffed(byte);
}

bool FrameBuilder::Build(uint16_t protocol, uint8_t code, uint8_t sequence, uint8_t parameter,
                         std::span<const uint8_t> data) {
    if (data.size() > kMaxData) return false;
    const auto length = static_cast<uint16_t>(data.size() + kPacketHeaderSize);
    const std::array<uint8_t, kPacketHeaderSize> header = {
        code, sequence, static_cast<uint8_t>(length >> 8), static_cast<uint8_t>(length & 0xFF),
        parameter};

    count_ = 0;
    fcs_ = kFcsInitial;
    buffer_[count_++] = kFlag;
    if (side_ == LinkSide::Host) {
        PutWithFcs(kAllStationsAddress);
        PutWithFcs(kUnnumberedControl);
    }
    PutWithFcs(static_cast<uint8_t>(protocol >> 8));
    PutWithFcs(static_cast<uint8_t>(protocol & 0xFF));
    for (uint8_t b : header) PutWithFcs(b);
    for (uint8_t b : data) PutWithFcs(b);
    const uint16_t fcs = fcs_ ^ 0xFFFF;
    PutStuffed(static_cast<uint8_t>(fcs & 0xFF));
    PutStuffed(static_cast<uint8_t>(fcs >> 8));
    buffer_[count_++] = kFlag;
    return true;
}

uint32_t FrameReceiver::TossedTotal() { return tossedTotal.load(); }

FrameEvent FrameReceiver::PutByte(uint8_t byte) {
    if (byte == kEscape) {
        escapeMask_ = kEscapeXor;
        return FrameEvent::None;
    }
    if (byte == kFlag) {
        if (escapeMask_ != 0) discard_ = true;
        FrameEvent event = FrameEvent::None;
        if (!discard_) {
            frameCount_ = count_;
            frameFcs_ = fcs_;
            event = CheckFrame();
        }
        count_ = 0;
        fcs_ = kFcsInitial;
        escapeMask_ = 0;
        discard_ = false;
        return event;
    }
    byte ^= escapeMask_;
    escapeMask_ = 0;
    if (discard_) {
        tossedTotal.fetch_add(1, std::memory_order_relaxed);
    } else if (count_ < buffer_.size()) {
        buffer_[count_++] = byte;
        fcs_ = Fcs16Step(fcs_, byte);
    } else {
        discard_ = true;
    }
    return FrameEvent::None;
}

FrameEvent FrameReceiver::CheckFrame() {
    packet_ = {};
    protocol_ = 0;
    if (frameCount_ == 0) return FrameEvent::Empty;
    if (frameCount_ < 3) return FrameEvent::TooShort;
    if (frameFcs_ != kFcsGood) return FrameEvent::BadFcs;

    std::span<const uint8_t> content(buffer_.data(), frameCount_ - 2);
    const bool addressed =
        content.size() >= 2 && content[1] == kUnnumberedControl &&
        (content[0] == 0xF0 || (side_ == LinkSide::Reader && content[0] == kAllStationsAddress));
    if (addressed) {
        content = content.subspan(2);
    }
    if (content.empty()) return FrameEvent::Runt;
    if (content[0] & 1) {
        protocol_ = content[0];
        content = content.subspan(1);
    } else {
        if (content.size() < 2) return FrameEvent::Runt;
        protocol_ = static_cast<uint16_t>((content[0] << 8) | content[1]);
        content = content.subspan(2);
    }
    if (content.size() < 4) return FrameEvent::Runt;
    packet_ = content;
    if (protocol_ != kDeviceProtocol) return FrameEvent::BadProtocol;
    const std::size_t length = (std::size_t{content[2]} << 8) | content[3];
    if (length < kPacketHeaderSize || length > content.size()) return FrameEvent::BadLength;
    return FrameEvent::Packet;
}

}  // namespace lumolink
