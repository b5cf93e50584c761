#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "transfers/TransferJob.h"

class CLXProgressWindow;

// How the progress dialog starts and cancels jobs: the transfer worker provides it.
class CLXJobStarter {
public:
    virtual ~CLXJobStarter() = default;
    virtual std::shared_ptr<CLXTransferJob> StartSend(
        std::vector<std::string> files, std::uint8_t option,
        std::shared_ptr<CLXProgressWindow> window) = 0;
    virtual std::shared_ptr<CLXTransferJob> StartFetch(
        std::vector<std::string> remoteNames, std::vector<std::string> localPaths,
        std::uint8_t option, std::shared_ptr<CLXProgressWindow> window) = 0;
    virtual void CancelJob(const std::shared_ptr<CLXTransferJob>& job) = 0;
};
