#include "settings/PortSearch.h"

#include "settings/PortProbe.h"

namespace lumo {
namespace {
constexpr int kStateConnected = 10;
constexpr const char kSpinner[] = {'-', '\\', '|', '/'};
}  // namespace

CLXPortSearch::CLXPortSearch(CLXPortSearchLink& link, CLXPortSearchView& view,
                             std::chrono::milliseconds attemptLimit)
    : link_(link), view_(view), attemptLimit_(attemptLimit) {}

CLXPortSearch::~CLXPortSearch() {
    RequestCancel();
    Join();
}

void CLXPortSearch::Start(std::array<SearchedPort, kSearchedPortCount> ports) {
    Join();
    ports_ = std::move(ports);
    statusLines_ = {};
    cancelRequested_ = false;
    thread_ = std::thread([this] { Run(); });
}

void CLXPortSearch::Join() {
    if (thread_.joinable()) thread_.join();
}

void CLXPortSearch::ShowStatus(int port, const std::string& text) {
    statusLines_[port] = text;
    view_.SetStatusLine(port, text);
}

void CLXPortSearch::Run() {
    link_.Disconnect();
    std::array<PortProbeCode, kSearchedPortCount> codes{};
    bool anyPortExists = false;
    for (int port = 0; port < kSearchedPortCount; ++port) {
        std::string errorText;
        codes[port] = ProbeSerialPort(ports_[port].devicePath, errorText);
        if (codes[port] == kPortUnknown) view_.SetMessageLine(errorText);
        anyPortExists = anyPortExists || codes[port] == kPortPresent || codes[port] == kPortInUse;
        ShowStatus(port, PortProbeText(codes[port]));
    }

    view_.SetMessageLine("Searching for Lumo eBook...");
    bool tried = false;
    int found = -1;
    for (int port = 0; port < kSearchedPortCount && found < 0; ++port) {
        if (codes[port] != kPortPresent) continue;
        if (cancelRequested_) break;
        tried = true;
        if (TryReader(port)) {
            found = port;
        } else if (!cancelRequested_) {
            ShowStatus(port, "Port Present, Lumo eBook Not Attached");
        }
    }

    view_.SetMessageLine("");
    PortSearchOutcome outcome = kNoSerialPorts;
    if (tried) {
        outcome = found >= 0 ? kReaderFound : kReaderNotFound;
    } else if (anyPortExists) {
        outcome = kAllPortsInUse;
    }
    view_.SearchDone(outcome, found >= 0 ? found : 0);
}

bool CLXPortSearch::TryReader(int port) {
    link_.Disconnect();
    link_.Connect(ports_[port].name.c_str(), 0);
    const std::string before = statusLines_[port];
    for (int step = 0;; ++step) {
        view_.SetStatusLine(port, before + ", searching..." + kSpinner[step % 4]);
        if (cancelRequested_) {
            view_.SetStatusLine(port, before);
            return false;
        }
        std::this_thread::sleep_for(kStep);
        view_.SetStatusLine(port, before);
        if (link_.GetEbConnectState() == kStateConnected) {
            ShowStatus(port, "Port Present, Lumo eBook Attached");
            return true;
        }
        if (kStep * (step + 1) >= attemptLimit_) return false;
    }
}

}  // namespace lumo
