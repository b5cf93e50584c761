#pragma once

// Result codes, directions and speed bits of the link engine, shared by the facade and the
// transfer record.

#include <cstdint>

enum PPP_CONN_ERR : int32_t {
    PPP_CONN_ERR_SUCCESS = 1,
    PPP_CONN_ERR_CANT_ACCESS_PORT = 2,
    PPP_CONN_ERR_SETUPCOM_GETSTATE = 3,
    PPP_CONN_ERR_SETUPCOM_SETSTATE = 4,
    PPP_CONN_ERR_SETUPCOM_SETTIME = 5,
    PPP_CONN_ERR_BAD_FCS = 6,
    PPP_CONN_ERR_RUNT = 7,
    PPP_CONN_ERR_PROTO_TIMEOUT = 8,
    PPP_CONN_ERR_REMOTE_ABORT = 9,
    PPP_CONN_ERR_LOCAL_FILE_OPEN = 10,
    PPP_CONN_ERR_REMOTE_FILE_OPEN = 11,
    PPP_CONN_ERR_EOF_ON_SEND = 12,
    PPP_CONN_ERR_CANCELLED = 13,
    PPP_CONN_ERR_NOT_CONNECTED = 14,
    PPP_CONN_ERR_CONNECTED = 15,
    PPP_CONN_ERR_CONNECTED_BUSY = 16,
    PPP_CONN_ERR_TIMEOUT = 17,
    PPP_CONN_ERR_UNKNOWN = 18,
};

enum PPP_CONN_XFER_DIR : int32_t {
    PPP_CONN_XFER_DIR_SEND = 1,     // PC to reader
    PPP_CONN_XFER_DIR_RECEIVE = 2,  // reader to PC
};

// File type sent to the reader when a file is created; only the low 8 bits go on the wire.
enum LUMO_FILE_TYPE : int32_t {
    LUMO_FILE_TYPE_DEFAULT = 0,
};

// One byte of speed bits offered to or chosen by the reader.
using BAUD_BITS_MASK = uint8_t;
inline constexpr BAUD_BITS_MASK BAUD_BITS_2400 = 0x01;
inline constexpr BAUD_BITS_MASK BAUD_BITS_9600 = 0x02;
inline constexpr BAUD_BITS_MASK BAUD_BITS_19200 = 0x04;
inline constexpr BAUD_BITS_MASK BAUD_BITS_57600 = 0x08;
inline constexpr BAUD_BITS_MASK BAUD_BITS_115200 = 0x10;
inline constexpr BAUD_BITS_MASK BAUD_BITS_ALL = 0x1F;
