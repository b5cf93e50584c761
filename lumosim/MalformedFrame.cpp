#include "lumosim/MalformedFrame.h"

#include "lumolink/LinkFraming.h"

namespace lumosim {

std::vector<uint8_t> FrameWithLengthField(uint8_t code, uint8_t sequence, uint16_t length,
                                          uint8_t parameter, std::span<const uint8_t> data) {
    std::vector<uint8_t> content = {static_cast<uint8_t>(lumolink::kDeviceProtocol >> 8),
                                    static_cast<uint8_t>(lumolink::kDeviceProtocol & 0xFF),
                                    code,
                                    sequence,
                                    static_cast<uint8_t>(length >> 8),
                                    static_cast<uint8_t>(length & 0xFF),
                                    parameter};
    content.insert(content.end(), data.begin(), data.end());
    const uint16_t fcs = lumolink::Fcs16(lumolink::kFcsInitial, content) ^ 0xFFFF;
    content.push_back(static_cast<uint8_t>(fcs & 0xFF));
    content.push_back(static_cast<uint8_t>(fcs >> 8));

    std::vector<uint8_t> frame = {lumolink::kFlag};
    for (uint8_t byte : content) {
        if (lumolink::IsEscapedOnWire(byte)) {
            frame.push_back(lumolink::kEscape);
            frame.push_back(byte ^ lumolink::kEscapeXor);
        } else {
            frame.push_back(byte);
        }
    }
    frame.push_back(lumolink::kFlag);
    return frame;
}

}  // namespace lumosim
