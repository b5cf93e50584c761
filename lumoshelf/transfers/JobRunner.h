#pragma once

#include "transfers/JobLink.h"
#include "transfers/TransferJob.h"

namespace lumo {

// The body of a send job: every file in list order, described by its kind, editions as a copy
// cut to their header's length, reader software packages part by part. The first failure ends
// the job with its code; a cancelled job ends with 17 before its next file or part. The status
// cache is flushed at the end in every case. Returns an EB_ERR_STATUS value.
int RunSendJob(CLXJobLink& link, CLXTransferJob& job);

// The body of a fetch job: every remote name into its local path, described as markups.
int RunFetchJob(CLXJobLink& link, CLXTransferJob& job);

}  // namespace lumo
