#include "transfers/ProgressWindowBridge.h"

#include "library/AppMessages.h"

bool ProgressWindowBridge::PostTransferProgress(std::unique_ptr<CLXTransfer> copy) {
    std::lock_guard lock(mutex_);
    if (window_ == nullptr) return false;
    postAppMessage(window_, WM_APP_TRANSFER_PROGRESS, 0, 0,
                   std::make_unique<TransferProgressPayload>(std::move(copy)));
    return true;
}

void ProgressWindowBridge::PostJobEnded(EB_ERR_STATUS result) {
    std::lock_guard lock(mutex_);
    if (window_ != nullptr) postAppMessage(window_, WM_APP_TRANSFER_JOB_ENDED, result);
}

void ProgressWindowBridge::Detach() {
    std::lock_guard lock(mutex_);
    window_ = nullptr;
}
