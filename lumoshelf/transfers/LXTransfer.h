#pragma once

#include <memory>
#include <string>

#include "lumolink/EbErrStatus.h"
#include "lumolink/LumoConnectTransfer.h"

class CLXProgressWindow;

// The program's transfer record: the link's record plus what the progress dialog shows.
class CLXTransfer : public CLumoConnectTransfer {
public:
    static constexpr std::size_t kDescriptionSize = 200;

    CLXTransfer(const char* local, const char* remote, PPP_CONN_XFER_DIR transferDirection,
                int32_t transferOption, LUMO_FILE_TYPE type, uint32_t contextWord,
                std::shared_ptr<CLXProgressWindow> progressWindow, const std::string& description,
                int fileIndex, int fileCount);
    CLXTransfer(const CLXTransfer&) = default;
    CLXTransfer& operator=(const CLXTransfer&) = default;

    const std::shared_ptr<CLXProgressWindow>& ProgressWindow() const { return m_progressWindow; }
    const std::string& Description() const { return m_description; }
    int FileIndex() const { return m_fileIndex; }
    int FileCount() const { return m_fileCount; }
    // The transfer has ended and it was the job's last file.
    bool IsComplete() const { return HasEnded() && m_fileIndex + 1 >= m_fileCount; }

    // The record's result as the program reads it, stamped when the report was made.
    EB_ERR_STATUS EbError() const { return m_ebError; }
    void SetEbError(EB_ERR_STATUS error) { m_ebError = error; }

private:
    std::shared_ptr<CLXProgressWindow> m_progressWindow;
    std::string m_description;
    int m_fileIndex = 0;
    int m_fileCount = 0;
    EB_ERR_STATUS m_ebError = EB_ERR_SUCCESS;
};
