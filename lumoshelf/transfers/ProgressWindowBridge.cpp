#include "transfers/ProgressWindowBridge.h"

#include "library/AppMessages.h"

bool ProgressWindowBridge::PostTransferProgress(std::unique_ptr<CLXTransfer> copy) {
    return target_.post(WM_APP_TRANSFER_PROGRESS, 0, 0,
                        std::make_unique<TransferProgressPayload>(std::move(copy)));
}

void ProgressWindowBridge::PostJobEnded(EB_ERR_STATUS result) {
    target_.post(WM_APP_TRANSFER_JOB_ENDED, result);
}
