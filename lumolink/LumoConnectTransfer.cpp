#include "lumolink/LumoConnectTransfer.h"

#include <cstring>

namespace {

void CopyName(char (&field)[PPP_XFER_NAME_SIZE], const char* name) {
    std::strncpy(field, name ? name : "", PPP_XFER_NAME_SIZE);
}

}  // namespace

CPPPTransfer::CPPPTransfer(const char* local, const char* remote, PPP_CONN_XFER_DIR dir,
                           int32_t transferOption, LUMO_FILE_TYPE type, uint32_t callerContext)
    : context(callerContext), direction(dir), fileType(type), option(transferOption) {
    CopyName(localName, local);
    CopyName(remoteName, remote);
}

bool CPPPTransfer::LocalNameFits() const {
    return std::memchr(localName, '\0', PPP_XFER_NAME_SIZE) != nullptr;
}

bool CPPPTransfer::RemoteNameFits() const {
    return std::memchr(remoteName, '\0', PPP_XFER_NAME_SIZE) != nullptr;
}

CLumoConnectTransfer::CLumoConnectTransfer(const char* local, const char* remote,
                                           PPP_CONN_XFER_DIR dir, int32_t transferOption,
                                           LUMO_FILE_TYPE type, uint32_t callerContext)
    : CPPPTransfer(local, remote, dir, transferOption, type, callerContext) {}

CLumoConnectTransfer::CLumoConnectTransfer(const CLumoConnectTransfer* other)
    : CLumoConnectTransfer(*other) {}
