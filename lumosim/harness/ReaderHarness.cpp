#include "lumosim/harness/ReaderHarness.h"

#include <algorithm>

namespace lumosim {

bool HostConnection::WaitForState(EB_ERR_STATUS state, std::chrono::milliseconds within) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, within, [&] { return GetEbConnectState() == state; });
}

std::vector<EB_ERR_STATUS> HostConnection::States() const {
    std::lock_guard lock(mutex_);
    return states_;
}

std::vector<CLumoConnectTransfer> HostConnection::Progress() const {
    std::lock_guard lock(mutex_);
    return progress_;
}

void HostConnection::OnConnect(EB_ERR_STATUS state) {
    {
        std::lock_guard lock(mutex_);
        states_.push_back(state);
    }
    changed_.notify_all();
}

void HostConnection::OnProgress(CLumoConnectTransfer* transfer) {
    std::lock_guard lock(mutex_);
    progress_.emplace_back(*transfer);
}

ReaderHarness::ReaderHarness(const SimulatorOptions& options)
    : flash_(options.flash), reader_(std::make_unique<Simulator>(options)) {
    reader_->Start();
}

ReaderHarness::~ReaderHarness() { host_.Disconnect(); }

bool ReaderHarness::Connect(BAUD_BITS_MASK mask, std::chrono::milliseconds within) {
    if (host_.Connect(reader_->DevicePath().c_str(), mask) != EB_ERR_SUCCESS) return false;
    return host_.WaitForState(EB_ERR_STATUS_CONNECTED, within);
}

EB_ERR_STATUS ReaderHarness::Send(const std::filesystem::path& local, const std::string& remote) {
    CLumoConnectTransfer transfer(local.c_str(), remote.c_str(), PPP_CONN_XFER_DIR_SEND, 1,
                                  LUMO_FILE_TYPE_DEFAULT, kContext);
    return host_.TransferFile(&transfer);
}

EB_ERR_STATUS ReaderHarness::Fetch(const std::string& remote, const std::filesystem::path& local) {
    CLumoConnectTransfer transfer(local.c_str(), remote.c_str(), PPP_CONN_XFER_DIR_RECEIVE, 1,
                                  LUMO_FILE_TYPE_DEFAULT, kContext);
    return host_.TransferFile(&transfer);
}

}  // namespace lumosim
