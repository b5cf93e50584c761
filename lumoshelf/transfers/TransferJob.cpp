#include "transfers/TransferJob.h"

#include <filesystem>

CLXTransferJob::CLXTransferJob(Kind kind, std::vector<std::string> names,
                               std::vector<std::string> localPaths, std::uint8_t option,
                               std::shared_ptr<CLXProgressWindow> window)
    : kind_(kind),
      names_(std::move(names)),
      localPaths_(std::move(localPaths)),
      option_(option),
      window_(std::move(window)) {
    if (kind_ != Kind::Send) return;
    for (const std::string& path : names_) {
        std::error_code error;
        const auto fileSize = std::filesystem::file_size(path, error);
        if (!error) size_ += static_cast<std::uint32_t>(fileSize);
    }
}

std::shared_ptr<CLXTransferJob> CLXTransferJob::Send(std::vector<std::string> localPaths,
                                                     std::uint8_t option,
                                                     std::shared_ptr<CLXProgressWindow> window) {
    return std::make_shared<CLXTransferJob>(Kind::Send, std::move(localPaths),
                                            std::vector<std::string>{}, option, std::move(window));
}

std::shared_ptr<CLXTransferJob> CLXTransferJob::Fetch(std::vector<std::string> remoteNames,
                                                      std::vector<std::string> localPaths,
                                                      std::uint8_t option,
                                                      std::shared_ptr<CLXProgressWindow> window) {
    localPaths.resize(remoteNames.size());
    return std::make_shared<CLXTransferJob>(Kind::Fetch, std::move(remoteNames),
                                            std::move(localPaths), option, std::move(window));
}
