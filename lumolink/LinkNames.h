#pragma once

// Codes and states of the device protocol, and their names as the log prints them.

#include <cstdint>

#include "lumolink/PppTypes.h"

namespace lumolink {

enum LUMI_CODE : uint8_t {
    LUMI_CHECK = 0,
    LUMI_ACK = 1,
    LUMI_NACK = 2,
    LUMI_FOPEN = 3,
    LUMI_FCLOSE = 4,
    LUMI_FWRITE = 5,
    LUMI_FREAD = 6,
    LUMI_CHECK_DATA = 7,
    LUMI_TOP = 8,
    LUMI_TOM = 9,
    LUMI_OPEN_ADMIN = 10,
    LUMI_CLOSE_ADMIN = 11,
    LUMI_FCREATE = 12,
    LUMI_FHANDLE = 13,
    LUMI_FWRITE_ACK = 14,
    LUMI_FCLOSE_ACK = 15,
    LUMI_REMOTE_ABORT = 16,
    LUMI_RESET_DEVICE = 17,
    LUMI_READ_DATA = 18,
    LUMI_RESET_ACK = 19,
    LUMI_NEGOTIATE_BAUD = 20,
    LUMI_BAUD_ACK = 21,
    LUMI_FCANCEL = 22,
    LUMI_FCANCEL_ACK = 23,
    LUMI_STATUS = 24,
    LUMI_STATUS_RESP = 25,
    LUMI_FOPEN_ALT = 31,
};

enum LUMS_STATE : int {
    LUMS_INIT = 0,
    LUMS_OPENING = 1,
    LUMS_BAUD = 2,
    LUMS_OPEN = 3,
    LUMS_CLOSED = 4,
    LUMS_FOPEN = 5,
    LUMS_READING = 6,
    LUMS_WRITING = 7,
    LUMS_FCANCEL = 8,
    LUMS_FCLOSE = 9,
    LUMS_CLOSING = 10,
    LUMS_BUSY = 11,
};

inline constexpr int kLumiCodeCount = 32;
inline constexpr int kLumsStateCount = 12;

// Name of a packet code below 32 (codes 26 to 30 are "FOO").
const char* LumiName(unsigned code);
// Name of a state up to LUMS_BUSY.
const char* LumsName(int state);
// Name of a result; 0 and unknown values print as "###should not be used".
const char* PppErrName(int error);

// Speed of the highest bit set in a speed mask, or 0 when that bit names no speed.
int SpeedOfHighestBit(uint8_t mask);

}  // namespace lumolink
