#include "lumolink/LinkNames.h"

#include <array>
#include <cstddef>

namespace lumolink {

const char* LumiName(unsigned code) {
    static constexpr std::array<const char*, kLumiCodeCount> names = {"LUMI_CHECK",
                                                                      "LUMI_ACK",
                                                                      "LUMI_NACK",
                                                                      "LUMI_FOPEN",
                                                                      "LUMI_FCLOSE",
                                                                      "LUMI_FWRITE",
                                                                      "LUMI_FREAD",
                                                                      "LUMI_CHECK_DATA",
                                                                      "LUMI_TOP",
                                                                      "LUMI_TOM",
                                                                      "LUMI_OPEN_ADMIN",
                                                                      "LUMI_CLOSE_ADMIN",
                                                                      "LUMI_FCREATE",
                                                                      "LUMI_FHANDLE",
                                                                      "LUMI_FWRITE_ACK",
                                                                      "LUMI_FCLOSE_ACK",
                                                                      "LUMI_REMOTE_ABORT",
                                                                      "LUMI_RESET_DEVICE",
                                                                      "LUMI_READ_DATA",
                                                                      "LUMI_RESET_ACK",
                                                                      "LUMI_NEGOTIATE_BAUD",
                                                                      "LUMI_BAUD_ACK",
                                                                      "LUMI_FCANCEL",
                                                                      "LUMI_FCANCEL_ACK",
                                                                      "LUMI_STATUS",
                                                                      "LUMI_STATUS_RESP",
                                                                      "FOO",
                                                                      "FOO",
                                                                      "FOO",
                                                                      "FOO",
                                                                      "FOO",
                                                                      "LUMI_FOPEN_ALT"};
    return code < names.size() ? names[code] : "";
}

const char* LumsName(int state) {
    static constexpr std::array<const char*, kLumsStateCount> names = {
        "LUMS_INIT",    "LUMS_OPENING", "LUMS_BAUD",    "LUMS_OPEN",   "LUMS_CLOSED",  "LUMS_FOPEN",
        "LUMS_READING", "LUMS_WRITING", "LUMS_FCANCEL", "LUMS_FCLOSE", "LUMS_CLOSING", "LUMS_BUSY"};
    return state >= 0 && state < kLumsStateCount ? names[static_cast<size_t>(state)] : "";
}

const char* PppErrName(int error) {
    static constexpr std::array<const char*, 19> names = {"###should not be used",
                                                          "PPP_CONN_ERR_SUCCESS",
                                                          "PPP_CONN_ERR_CANT_ACCESS_PORT",
                                                          "PPP_CONN_ERR_SETUPCOM_GETSTATE",
                                                          "PPP_CONN_ERR_SETUPCOM_SETSTATE",
                                                          "PPP_CONN_ERR_SETUPCOM_SETTIME",
                                                          "PPP_CONN_ERR_BAD_FCS",
                                                          "PPP_CONN_ERR_RUNT",
                                                          "PPP_CONN_ERR_PROTO_TIMEOUT",
                                                          "PPP_CONN_ERR_REMOTE_ABORT",
                                                          "PPP_CONN_ERR_LOCAL_FILE_OPEN",
                                                          "PPP_CONN_ERR_REMOTE_FILE_OPEN",
                                                          "PPP_CONN_ERR_EOF_ON_SEND",
                                                          "PPP_CONN_ERR_CANCELLED",
                                                          "PPP_CONN_ERR_NOT_CONNECTED",
                                                          "PPP_CONN_ERR_CONNECTED",
                                                          "PPP_CONN_ERR_CONNECTED_BUSY",
                                                          "PPP_CONN_ERR_TIMEOUT",
                                                          "PPP_CONN_ERR_UNKNOWN"};
    return error > 0 && error < static_cast<int>(names.size()) ? names[static_cast<size_t>(error)]
                                                               : names[0];
}

int SpeedOfHighestBit(uint8_t mask) {
    if (mask & 0xE0) return 0;
    if (mask & BAUD_BITS_115200) return 115200;
    if (mask & BAUD_BITS_57600) return 57600;
    if (mask & BAUD_BITS_19200) return 19200;
    if (mask & BAUD_BITS_9600) return 9600;
    if (mask & BAUD_BITS_2400) return 2400;
    return 0;
}

}  // namespace lumolink
