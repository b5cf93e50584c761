#include "transfers/LXTransfer.h"

CLXTransfer::CLXTransfer(const char* localName, const char* remoteName, PPP_CONN_XFER_DIR direction,
                         int32_t option, LUMO_FILE_TYPE fileType, uint32_t context,
                         std::shared_ptr<CLXProgressWindow> progressWindow,
                         const std::string& description, int fileIndex, int fileCount)
    : CLumoConnectTransfer(localName, remoteName, direction, option, fileType, context),
      m_progressWindow(std::move(progressWindow)),
      m_description(description.substr(0, kDescriptionSize)),
      m_fileIndex(fileIndex),
      m_fileCount(fileCount) {}
