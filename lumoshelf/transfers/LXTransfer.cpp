#include "transfers/LXTransfer.h"

CLXTransfer::CLXTransfer(const char* local, const char* remote, PPP_CONN_XFER_DIR transferDirection,
                         int32_t transferOption, LUMO_FILE_TYPE type, uint32_t contextWord,
                         std::shared_ptr<CLXProgressWindow> progressWindow,
                         const std::string& description, int fileIndex, int fileCount)
    : CLumoConnectTransfer(local, remote, transferDirection, transferOption, type, contextWord),
      m_progressWindow(std::move(progressWindow)),
      m_description(description.substr(0, kDescriptionSize)),
      m_fileIndex(fileIndex),
      m_fileCount(fileCount) {}
