#include <gtest/gtest.h>

#include <condition_variable>
#include <map>
#include <mutex>
#include <vector>

#include "PtyPort.h"
#include "settings/PortSearch.h"

namespace {

using namespace std::chrono_literals;

// A link on which the reader answers on one port name, a little after Connect.
class FakeLink : public lumo::CLXPortSearchLink {
public:
    explicit FakeLink(std::string readerPort) : readerPort_(std::move(readerPort)) {}
    int Disconnect() override {
        std::lock_guard lock(mutex_);
        connected_.clear();
        return 0;
    }
    int Connect(const char* portName, int) override {
        std::lock_guard lock(mutex_);
        connected_ = portName;
        connectTime_ = std::chrono::steady_clock::now();
        attempts_.push_back(portName);
        return 0;
    }
    int GetEbConnectState() override {
        std::lock_guard lock(mutex_);
        const bool answers =
            connected_ == readerPort_ && std::chrono::steady_clock::now() - connectTime_ > 150ms;
        return answers ? 10 : 11;
    }
    std::vector<std::string> Attempts() {
        std::lock_guard lock(mutex_);
        return attempts_;
    }

private:
    std::mutex mutex_;
    std::string readerPort_;
    std::string connected_;
    std::chrono::steady_clock::time_point connectTime_;
    std::vector<std::string> attempts_;
};

class RecordingView : public lumo::CLXPortSearchView {
public:
    void SetStatusLine(int port, const std::string& text) override {
        std::lock_guard lock(mutex_);
        lines_[port] = text;
        if (text.find("searching...") != std::string::npos) spinnerSeen_ = true;
    }
    void SetMessageLine(const std::string& text) override {
        std::lock_guard lock(mutex_);
        messages_.push_back(text);
    }
    void SearchDone(lumo::PortSearchOutcome outcome, int foundPort) override {
        std::lock_guard lock(mutex_);
        outcome_ = outcome;
        foundPort_ = foundPort;
        done_.notify_all();
    }
    void WaitDone() {
        std::unique_lock lock(mutex_);
        ASSERT_TRUE(done_.wait_for(lock, 20s, [&] { return outcome_ != 0; }));
    }
    std::string Line(int port) {
        std::lock_guard lock(mutex_);
        return lines_[port];
    }

    std::mutex mutex_;
    std::condition_variable done_;
    std::map<int, std::string> lines_;
    std::vector<std::string> messages_;
    bool spinnerSeen_ = false;
    int outcome_ = 0;
    int foundPort_ = -1;
};

std::array<lumo::SearchedPort, 6> Ports(const std::array<std::string, 6>& paths) {
    std::array<lumo::SearchedPort, 6> ports;
    for (int i = 0; i < 6; ++i) ports[i] = {"COM" + std::to_string(i + 1), paths[i]};
    return ports;
}

const std::string kAbsent = "/dev/lumo-no-such-port";

TEST(PortSearchTest, FindsTheReaderAmongFreeAbsentAndHeldPorts) {
    PtyPort com1, com2, com3, com5;
    ASSERT_TRUE(com5.Hold());
    FakeLink link("COM3");
    RecordingView view;
    lumo::CLXPortSearch search(link, view, 400ms);
    search.Start(Ports({com1.Path(), com2.Path(), com3.Path(), kAbsent, com5.Path(), kAbsent}));
    view.WaitDone();
    search.Join();

    EXPECT_EQ(view.outcome_, lumo::kReaderFound);
    EXPECT_EQ(view.foundPort_, 2);
    EXPECT_EQ(link.Attempts(), (std::vector<std::string>{"COM1", "COM2", "COM3"}));
    EXPECT_EQ(view.Line(0), "Port Present, Lumo eBook Not Attached");
    EXPECT_EQ(view.Line(1), "Port Present, Lumo eBook Not Attached");
    EXPECT_EQ(view.Line(2), "Port Present, Lumo eBook Attached");
    EXPECT_EQ(view.Line(3), "Port Absent");
    EXPECT_EQ(view.Line(4), "Port Present, Other Device Attached");
    EXPECT_EQ(view.Line(5), "Port Absent");
    EXPECT_TRUE(view.spinnerSeen_);
    EXPECT_EQ(view.messages_.front(), "Searching for Lumo eBook...");
    EXPECT_EQ(view.messages_.back(), "");
}

TEST(PortSearchTest, SummariesWhenNoPortCanBeTried) {
    PtyPort held;
    ASSERT_TRUE(held.Hold());
    struct Case {
        const char* name;
        std::array<std::string, 6> paths;
        lumo::PortSearchOutcome outcome;
    };
    const Case cases[] = {
        {"no ports", {kAbsent, kAbsent, kAbsent, kAbsent, kAbsent, kAbsent}, lumo::kNoSerialPorts},
        {"all in use",
         {held.Path(), kAbsent, kAbsent, kAbsent, kAbsent, kAbsent},
         lumo::kAllPortsInUse},
    };
    for (const Case& c : cases) {
        FakeLink link("COM1");
        RecordingView view;
        lumo::CLXPortSearch search(link, view, 400ms);
        search.Start(Ports(c.paths));
        view.WaitDone();
        EXPECT_EQ(view.outcome_, c.outcome) << c.name;
        EXPECT_EQ(view.foundPort_, 0) << c.name;
        EXPECT_TRUE(link.Attempts().empty()) << c.name;
    }
}

TEST(PortSearchTest, AFreePortWithoutReaderIsReportedAfterItsAttemptLimit) {
    PtyPort com1;
    FakeLink link("COM6");
    RecordingView view;
    lumo::CLXPortSearch search(link, view, 300ms);
    const auto start = std::chrono::steady_clock::now();
    search.Start(Ports({com1.Path(), kAbsent, kAbsent, kAbsent, kAbsent, kAbsent}));
    view.WaitDone();
    EXPECT_GE(std::chrono::steady_clock::now() - start, 300ms);
    EXPECT_EQ(view.outcome_, lumo::kReaderNotFound);
    EXPECT_EQ(view.Line(0), "Port Present, Lumo eBook Not Attached");
}

TEST(PortSearchTest, ASearchStartedAfterACancelRunsInFull) {
    PtyPort com1, com2;
    FakeLink link("COM2");
    RecordingView first;
    {
        lumo::CLXPortSearch search(link, first, 10s);
        search.Start(Ports({com1.Path(), com2.Path(), kAbsent, kAbsent, kAbsent, kAbsent}));
        std::this_thread::sleep_for(200ms);
        search.RequestCancel();
        first.WaitDone();
        EXPECT_EQ(first.outcome_, lumo::kReaderNotFound);
        EXPECT_EQ(first.Line(0), "Port Present");

        RecordingView second;
        lumo::CLXPortSearch again(link, second, 400ms);
        search.Join();
        again.Start(Ports({com1.Path(), com2.Path(), kAbsent, kAbsent, kAbsent, kAbsent}));
        second.WaitDone();
        EXPECT_EQ(second.outcome_, lumo::kReaderFound);
        EXPECT_EQ(second.foundPort_, 1);
    }
}

}  // namespace
