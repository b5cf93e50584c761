#pragma once

#include <memory>

#include "lumolink/EbErrStatus.h"

class CLXTransfer;

// A window that receives a job's reports. The worker calls it on the link's and the job's
// threads; an implementation hands the reports to the window's own thread and drops them once
// the window is gone.
class CLXProgressWindow {
public:
    virtual ~CLXProgressWindow() = default;
    // WM_APP_TRANSFER_PROGRESS with a copy of the record, which the window then owns.
    // False when the window no longer exists.
    virtual bool PostTransferProgress(std::unique_ptr<CLXTransfer> copy) = 0;
    // The job has ended with this result, whether or not any progress was reported.
    virtual void PostJobEnded(EB_ERR_STATUS result) = 0;
};
