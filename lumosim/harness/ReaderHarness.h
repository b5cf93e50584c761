#pragma once

// A simulated reader and the link library connected to it, in one process: what the end-to-end
// tests and the link benchmarks are built on.

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "lumolink/LumoConnect.h"
#include "lumosim/Simulator.h"

namespace lumosim {

// The host side: records every state it is told of and every progress report.
class HostConnection : public CLumoConnect {
public:
    // True once the link reports `state`, or reports it already.
    bool WaitForState(EB_ERR_STATUS state, std::chrono::milliseconds within);
    std::vector<EB_ERR_STATUS> States() const;
    std::vector<CLumoConnectTransfer> Progress() const;

protected:
    void OnConnect(EB_ERR_STATUS state) override;
    void OnProgress(CLumoConnectTransfer* transfer) override;

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<EB_ERR_STATUS> states_;
    std::vector<CLumoConnectTransfer> progress_;
};

class ReaderHarness {
public:
    // Context of the transfers made here: non-zero, so that they report progress.
    static constexpr uint32_t kContext = 0x5111;

    explicit ReaderHarness(const SimulatorOptions& options);
    ~ReaderHarness();

    Simulator& Reader() { return *reader_; }
    HostConnection& Host() { return host_; }
    std::filesystem::path Flash() const { return flash_; }

    // Connects and waits for the link to come up.
    bool Connect(BAUD_BITS_MASK mask = BAUD_BITS_ALL,
                 std::chrono::milliseconds within = std::chrono::seconds(10));
    EB_ERR_STATUS Send(const std::filesystem::path& local, const std::string& remote);
    EB_ERR_STATUS Fetch(const std::string& remote, const std::filesystem::path& local);

private:
    std::filesystem::path flash_;
    std::unique_ptr<Simulator> reader_;
    HostConnection host_;
};

}  // namespace lumosim
