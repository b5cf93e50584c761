#include "transfers/JobRunner.h"

#include <filesystem>

#include "library/StringTable.h"
#include "transfers/EditionCopy.h"
#include "transfers/PrivateTempDir.h"
#include "transfers/ReaderPackage.h"
#include "transfers/SendDescription.h"
#include "transfers/SendFileKind.h"

namespace lumo {
namespace {

namespace fs = std::filesystem;

constexpr int kSuccess = 0;
constexpr int kCantAccessLocalFile = 7;
constexpr int kOperationCancelled = 17;

// Removes a temporary file when it goes out of scope.
struct TempFileGuard {
    fs::path path;
    ~TempFileGuard() {
        std::error_code ignored;
        if (!path.empty()) fs::remove(path, ignored);
    }
};

// Firmware mode is on while a package is sent, and off again however the package ends.
class FirmwareModeScope {
public:
    explicit FirmwareModeScope(CLXJobLink& link) : link_(link) { link_.SetFirmwareMode(1); }
    ~FirmwareModeScope() { link_.SetFirmwareMode(0); }
    FirmwareModeScope(const FirmwareModeScope&) = delete;
    FirmwareModeScope& operator=(const FirmwareModeScope&) = delete;

private:
    CLXJobLink& link_;
};

std::string RemoteNameOf(const std::string& localPath) {
    return fs::path(localPath).filename().string();
}

// The parts are numbered among those that are sent, so that the last one sent completes the
// job for the progress dialog.
int SendReaderPackage(CLXJobLink& link, CLXTransferJob& job, const std::string& path) {
    FirmwareModeScope firmwareMode(link);
    ReaderPackage package;
    if (package.Open(path) != 0) return kCantAccessLocalFile;
    const std::vector<PackagePart> parts = package.PartsToSend();
    const int count = static_cast<int>(parts.size());
    for (int index = 0; index < count; ++index) {
        if (job.IsCancelled()) return kOperationCancelled;
        const PackagePart& part = parts[index];
        int fileType = 0;
        if (package.ReadPartFileType(part, fileType) != 0) return kCantAccessLocalFile;
        TempFileGuard partFile{PrivateTempDir() / part.name};
        if (package.WritePart(part, partFile.path) != 0) return kCantAccessLocalFile;
        const int result =
            link.SendFile(partFile.path.string(), part.name, job.Option(), fileType,
                          job.ProgressWindow(), "Firmware", index, count, kContextSentFile);
        if (result != kSuccess) return result;
    }
    return kSuccess;
}

int SendEditionCopy(CLXJobLink& link, CLXTransferJob& job, const std::string& path,
                    std::uint32_t editionLength, const std::string& description, int index,
                    int count) {
    TempFileGuard copy;
    if (MakeEditionSendCopy(path, editionLength, PrivateTempDir(), copy.path) != 0) {
        return kCantAccessLocalFile;
    }
    return link.SendFile(copy.path.string(), RemoteNameOf(path), job.Option(), 0,
                         job.ProgressWindow(), description, index, count, kContextSentFile);
}

int SendOneFile(CLXJobLink& link, CLXTransferJob& job, int index) {
    const std::string& path = job.Names()[index];
    const int count = static_cast<int>(job.Names().size());
    std::string description;
    if (DescribeSendFile(path, description) != 0) return kCantAccessLocalFile;
    SendFileHead head;
    if (ReadSendFileHead(path, head) != 0) return kCantAccessLocalFile;
    switch (head.kind) {
        case SendFileKind::ReaderPackage:
            return SendReaderPackage(link, job, path);
        case SendFileKind::Edition:
            return SendEditionCopy(link, job, path, head.editionLength, description, index, count);
        case SendFileKind::SystemImage:
        case SendFileKind::Other:
            break;
    }
    return link.SendFile(path, RemoteNameOf(path), job.Option(), 0, job.ProgressWindow(),
                         description, index, count, kContextSentFile);
}

}  // namespace

int RunSendJob(CLXJobLink& link, CLXTransferJob& job) {
    int result = kSuccess;
    try {
        for (std::size_t i = 0; i < job.Names().size() && result == kSuccess; ++i) {
            result = job.IsCancelled() ? kOperationCancelled
                                       : SendOneFile(link, job, static_cast<int>(i));
            if (result == kSuccess) job.FileSucceeded();
        }
    } catch (const fs::filesystem_error&) {
        result = kCantAccessLocalFile;
    }
    link.FlushStatusCache();
    return result;
}

int RunFetchJob(CLXJobLink& link, CLXTransferJob& job) {
    const std::string description = LXString(311);
    const int count = static_cast<int>(job.Names().size());
    for (int i = 0; i < count; ++i) {
        if (job.IsCancelled()) return kOperationCancelled;
        const int result =
            link.FetchFile(job.Names()[i], job.LocalPaths()[i], job.Option(), job.ProgressWindow(),
                           description, i, count, kContextFetchedMarkup);
        if (result != kSuccess) return result;
        job.FileSucceeded();
    }
    return kSuccess;
}

}  // namespace lumo
