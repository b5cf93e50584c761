#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CLXProgressWindow;

// One job of the transfer worker with its own copy of its lists, so that a job started while
// another runs can neither change nor be changed by it, and its own cancel flag, which the job
// thread checks before each file and each package part.
class CLXTransferJob {
public:
    enum class Kind { Send, Fetch };

    static std::shared_ptr<CLXTransferJob> Send(std::vector<std::string> localPaths,
                                                std::uint8_t option,
                                                std::shared_ptr<CLXProgressWindow> window);
    static std::shared_ptr<CLXTransferJob> Fetch(std::vector<std::string> remoteNames,
                                                 std::vector<std::string> localPaths,
                                                 std::uint8_t option,
                                                 std::shared_ptr<CLXProgressWindow> window);

    Kind GetKind() const { return kind_; }
    // Send: the local paths. Fetch: the names on the reader.
    const std::vector<std::string>& Names() const { return names_; }
    // Fetch: the local path for each name, index for index.
    const std::vector<std::string>& LocalPaths() const { return localPaths_; }
    std::uint8_t Option() const { return option_; }
    const std::shared_ptr<CLXProgressWindow>& ProgressWindow() const { return window_; }
    // Sum of the sizes on disk of a send job's files, taken when the job was made; 0 for fetches.
    std::uint32_t Size() const { return size_; }

    // The number of files (of a fetch or send job) that have been transferred with success.
    std::size_t SucceededCount() const { return succeeded_; }
    void FileSucceeded() { ++succeeded_; }

    void Cancel() { cancelled_ = true; }
    bool IsCancelled() const { return cancelled_; }

    CLXTransferJob(Kind kind, std::vector<std::string> names, std::vector<std::string> localPaths,
                   std::uint8_t option, std::shared_ptr<CLXProgressWindow> window);

private:
    Kind kind_;
    std::vector<std::string> names_;
    std::vector<std::string> localPaths_;
    std::uint8_t option_;
    std::shared_ptr<CLXProgressWindow> window_;
    std::uint32_t size_ = 0;
    std::atomic<std::size_t> succeeded_{0};
    std::atomic<bool> cancelled_{false};
};
