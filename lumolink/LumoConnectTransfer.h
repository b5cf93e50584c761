#pragma once

// The record that describes one file transfer. The caller allocates it and keeps it alive until
// TransferFile returns; the link fills the progress and result fields while it runs.

#include <cstdint>

#include "lumolink/LumoLinkExport.h"
#include "lumolink/PppTypes.h"

inline constexpr uint32_t PPP_XFER_FLAG_ENDED = 0x1;  // set once, when the transfer has ended
inline constexpr int PPP_XFER_NAME_SIZE = 200;

class LUMOLINK_API CPPPTransfer {
public:
    // Names are copied with at most 200 characters; a longer name fills the field without a
    // terminator, and the link refuses to open it.
    CPPPTransfer(const char* localName, const char* remoteName, PPP_CONN_XFER_DIR direction,
                 int32_t option, LUMO_FILE_TYPE fileType, uint32_t context);

    uint32_t GetContext() const { return context; }
    PPP_CONN_ERR GetPppError() const { return pppError; }
    unsigned long GetOsError() const { return osError; }
    bool HasEnded() const { return (flags & PPP_XFER_FLAG_ENDED) != 0; }

    // True when the name fits its field with its terminator.
    bool LocalNameFits() const;
    bool RemoteNameFits() const;

    uint32_t context = 0;
    char localName[PPP_XFER_NAME_SIZE] = {};
    char remoteName[PPP_XFER_NAME_SIZE] = {};
    int32_t total = 0;
    int32_t done = 0;
    PPP_CONN_XFER_DIR direction = PPP_CONN_XFER_DIR_SEND;
    LUMO_FILE_TYPE fileType = LUMO_FILE_TYPE_DEFAULT;
    int32_t option = 0;
    PPP_CONN_ERR pppError = PPP_CONN_ERR_SUCCESS;
    uint32_t osError = 0;
    uint32_t flags = 0;
};

class LUMOLINK_API CLumoConnectTransfer : public CPPPTransfer {
public:
    CLumoConnectTransfer(const char* localName, const char* remoteName, PPP_CONN_XFER_DIR direction,
                         int32_t option, LUMO_FILE_TYPE fileType, uint32_t context);
    explicit CLumoConnectTransfer(const CLumoConnectTransfer* other);
    CLumoConnectTransfer(const CLumoConnectTransfer&) = default;
    CLumoConnectTransfer& operator=(const CLumoConnectTransfer&) = default;
};
