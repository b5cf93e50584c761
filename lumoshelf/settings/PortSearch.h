#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <string>
#include <thread>

namespace lumo {

constexpr int kSearchedPortCount = 6;

// The summary of a search, posted as wParam of WM_APP_PORT_SEARCH_DONE.
enum PortSearchOutcome : int {
    kReaderFound = 1,
    kReaderNotFound = 2,  // free ports were tried, the reader answered on none
    kAllPortsInUse = 3,
    kNoSerialPorts = 4,
};

// The link that the search drives: the transfer worker.
class CLXPortSearchLink {
public:
    virtual ~CLXPortSearchLink() = default;
    virtual int Disconnect() = 0;
    virtual int Connect(const char* portName, int speedMask) = 0;
    virtual int GetEbConnectState() = 0;
};

// Where the search reports. Called on the search thread: an implementation hands the reports
// to its own thread.
class CLXPortSearchView {
public:
    virtual ~CLXPortSearchView() = default;
    virtual void SetStatusLine(int port, const std::string& text) = 0;
    virtual void SetMessageLine(const std::string& text) = 0;
    virtual void SearchDone(PortSearchOutcome outcome, int foundPort) = 0;
};

struct SearchedPort {
    std::string name;        // "COM1" .. "COM6", handed to Connect
    std::string devicePath;  // what the name resolves to, opened by the probe
};

// The search for the reader: probes the six ports, then tries the reader on every free one in
// turn for at most the attempt limit each. One search thread at a time; Start() waits for a
// previous thread to end (the dialog keeps the search button disabled until then).
class CLXPortSearch {
public:
    static constexpr std::chrono::milliseconds kDefaultAttemptLimit{14000};
    static constexpr std::chrono::milliseconds kStep{100};

    CLXPortSearch(CLXPortSearchLink& link, CLXPortSearchView& view,
                  std::chrono::milliseconds attemptLimit = kDefaultAttemptLimit);
    ~CLXPortSearch();
    CLXPortSearch(const CLXPortSearch&) = delete;
    CLXPortSearch& operator=(const CLXPortSearch&) = delete;

    void Start(std::array<SearchedPort, kSearchedPortCount> ports);
    // The thread stops at its next check, before the next port or the next 100 ms step.
    void RequestCancel() { cancelRequested_ = true; }
    bool IsCancelRequested() const { return cancelRequested_; }
    void Join();

private:
    void Run();
    bool TryReader(int port);
    void ShowStatus(int port, const std::string& text);

    CLXPortSearchLink& link_;
    CLXPortSearchView& view_;
    std::chrono::milliseconds attemptLimit_;
    std::array<SearchedPort, kSearchedPortCount> ports_;
    std::array<std::string, kSearchedPortCount> statusLines_;
    std::atomic<bool> cancelRequested_{false};
    std::thread thread_;
};

}  // namespace lumo
