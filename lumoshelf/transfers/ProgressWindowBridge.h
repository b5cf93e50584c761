#pragma once

#include <QObject>
#include <memory>

#include "transfers/LXTransfer.h"
#include "transfers/ProgressWindow.h"
#include "ui/AppMessageEvent.h"

// A job's end, posted to its progress window after the job thread has finished with it.
inline constexpr unsigned WM_APP_TRANSFER_JOB_ENDED = 0x8000 + 1050;

// The record copy that WM_APP_TRANSFER_PROGRESS carries.
struct TransferProgressPayload : AppMessagePayload {
    explicit TransferProgressPayload(std::unique_ptr<CLXTransfer> copy) : record(std::move(copy)) {}
    std::unique_ptr<CLXTransfer> record;
};

// Hands the worker's reports to a window on the user-interface thread as posted events. The
// window detaches itself when it goes; reports after that are dropped, and reports still queued
// for it are discarded with it.
class ProgressWindowBridge : public CLXProgressWindow {
public:
    explicit ProgressWindowBridge(QObject* window) : target_(window) {}

    bool PostTransferProgress(std::unique_ptr<CLXTransfer> copy) override;
    void PostJobEnded(EB_ERR_STATUS result) override;
    // Called by the window's destructor, on the user-interface thread.
    void Detach() { target_.detach(); }

private:
    AppMessageTarget target_;
};
