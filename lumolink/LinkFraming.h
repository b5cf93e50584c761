#pragma once

// The byte layer of the reader link: HDLC-like frames (flag 0x7E, escape 0x7D ^ 0x20, FCS-16)
// carrying one device packet each. Used by the link engine and by the simulated reader, so it
// depends on nothing but the standard library.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace lumolink {

inline constexpr uint8_t kFlag = 0x7E;
inline constexpr uint8_t kEscape = 0x7D;
inline constexpr uint8_t kEscapeXor = 0x20;
inline constexpr uint16_t kDeviceProtocol = 0x8083;
inline constexpr uint16_t kFcsInitial = 0xFFFF;
inline constexpr uint16_t kFcsGood = 0xF0B8;
inline constexpr std::size_t kLinkBufferSize = 5000;
inline constexpr std::size_t kPacketHeaderSize = 5;

// One step of the RFC 1662 table-driven FCS-16 (reflected polynomial 0x8408).
uint16_t Fcs16Step(uint16_t fcs, uint8_t byte);
uint16_t Fcs16(uint16_t fcs, std::span<const uint8_t> bytes);

// True for the bytes that are always sent escaped: 0x00..0x1F, 0x7D and 0x7E.
bool IsEscapedOnWire(uint8_t byte);

// A packet as it stands after the protocol field: code, sequence, big-endian length (header
// included), parameter, data. Only made from bytes whose length field has been checked.
class PacketView {
public:
    explicit PacketView(std::span<const uint8_t> bytes) : bytes_(bytes) {}

    uint8_t code() const { return bytes_[0]; }
    uint8_t sequence() const { return bytes_[1]; }
    uint16_t length() const { return static_cast<uint16_t>((bytes_[2] << 8) | bytes_[3]); }
    uint8_t parameter() const { return bytes_[4]; }
    std::span<const uint8_t> data() const {
        return bytes_.subspan(kPacketHeaderSize, length() - kPacketHeaderSize);
    }

private:
    std::span<const uint8_t> bytes_;
};

// Which end of the link a builder or receiver works for. The host starts its frames with the
// address and control pair 0xFF 0x03; the reader starts its frames with the protocol field.
enum class LinkSide { Host, Reader };

// Builds one frame at a time into a fixed buffer; the frame stays there until the next build so
// that it can be sent again byte for byte.
class FrameBuilder {
public:
    explicit FrameBuilder(LinkSide side = LinkSide::Host) : side_(side) {}

    // Largest data block whose frame fits the buffer even with every byte escaped: two flags,
    // then address, control, protocol, header, data and FCS, each byte possibly doubled.
    static constexpr std::size_t kMaxData = (kLinkBufferSize - 2) / 2 - 4 - kPacketHeaderSize - 2;

    // Returns false, leaving the previous frame in place, when data is longer than kMaxData.
    bool Build(uint16_t protocol, uint8_t code, uint8_t sequence, uint8_t parameter,
               std::span<const uint8_t> data);

    std::span<const uint8_t> Frame() const { return {buffer_.data(), count_}; }

private:
    void PutStuffed(uint8_t byte);
    void PutWithFcs(uint8_t byte);

    LinkSide side_;
    std::array<uint8_t, kLinkBufferSize> buffer_{};
    std::size_t count_ = 0;
    uint16_t fcs_ = kFcsInitial;
};

// What a received byte completed.
enum class FrameEvent {
    None,         // byte stored, escaped or tossed; no frame ended
    Empty,        // a flag with nothing stored before it
    TooShort,     // fewer than 3 stored bytes
    BadFcs,       // check sequence wrong
    Runt,         // fewer than 4 bytes after the protocol field
    BadProtocol,  // protocol other than the device protocol
    BadLength,    // length field below 5 or beyond the bytes received
    Packet,       // a checked packet: see Packet()
};

// The receive state machine. After any event other than None, Stored(), StoredFcs() and the
// accessors of the event stay valid until the next byte is put. The host's receiver skips a
// leading 0xF0 0x03; the reader's also skips the host's 0xFF 0x03.
class FrameReceiver {
public:
    explicit FrameReceiver(LinkSide side = LinkSide::Host) : side_(side) {}

    FrameEvent PutByte(uint8_t byte);

    std::span<const uint8_t> Stored() const { return {buffer_.data(), frameCount_}; }
    uint16_t StoredFcs() const { return frameFcs_; }
    uint16_t Protocol() const { return protocol_; }
    PacketView Packet() const { return PacketView(packet_); }
    // Bytes after the protocol field, FCS excluded (what a BadLength packet measured against).
    std::size_t PacketBytes() const { return packet_.size(); }

    // Bytes dropped in discard mode by every receiver of the process.
    static uint32_t TossedTotal();

private:
    FrameEvent CheckFrame();

    LinkSide side_;
    std::array<uint8_t, kLinkBufferSize> buffer_{};
    std::size_t count_ = 0;
    uint16_t fcs_ = kFcsInitial;
    uint8_t escapeMask_ = 0;
    bool discard_ = true;

    std::size_t frameCount_ = 0;
    uint16_t frameFcs_ = 0;
    uint16_t protocol_ = 0;
    std::span<const uint8_t> packet_;
};

}  // namespace lumolink
