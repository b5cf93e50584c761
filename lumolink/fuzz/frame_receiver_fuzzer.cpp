// Feeds arbitrary bytes to the frame receiver and checks every accepted packet against the
// bounds the engine relies on: its length field fits the bytes that arrived.
#include <cstdlib>

#include "lumolink/LinkFraming.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    lumolink::FrameReceiver receiver;
    for (size_t i = 0; i < size; ++i) {
        if (receiver.PutByte(data[i]) != lumolink::FrameEvent::Packet) continue;
        const lumolink::PacketView packet = receiver.Packet();
        if (packet.length() < lumolink::kPacketHeaderSize ||
            packet.length() > receiver.PacketBytes()) {
            std::abort();
        }
        volatile uint8_t sink = 0;
        for (uint8_t b : packet.data()) sink = sink ^ b;
        (void)sink;
    }
    return 0;
}
