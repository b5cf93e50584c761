#include <fcntl.h>
#include <pty.h>
#include <sys/file.h>

#include "EditionBuilder.h"
#include "RecordingWindow.h"
#include "TestFolder.h"
#include "library/LXLibraryDoc.h"
#include "library/ReaderTitleList.h"
#include "lumosim/Simulator.h"
#include "settings/PortSearch.h"
#include "transfers/LXTransfer.h"
#include "transfers/PrivateTempDir.h"
#include "transfers/ReaderTitlesSync.h"
#include "transfers/TransferWorker.h"

using namespace testing_editions;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

std::string Info(const std::string& title) {
    return "Title=" + title + "\nAuthor=A. Writer\nurl=ebook:" + title + "\nusername=reader\n";
}

// A simulated reader on a pseudo-terminal and the worker connected to it.
class WorkerEndToEndTest : public TestFolder {
protected:
    void StartReader(lumosim::SimulatorOptions options = {}) {
        options.flash = dir / "flash";
        options.identifier = "SIM-READER-7";
        reader = std::make_unique<lumosim::Simulator>(options);
        reader->Start();
        Write("settings.ini", "[DataComm]\nComPort=" + reader->DevicePath() + "\nBaud=31\n");
        worker = std::make_unique<CLXTransferWorker>((dir / "settings.ini").string());
        worker->SetConnectStateListener([this] { ++connectStates; });
        ASSERT_EQ(worker->Connect(nullptr, 0), EB_ERR_SUCCESS);
        ASSERT_TRUE(worker->WaitConnected(20s));
    }
    void TearDown() override {
        worker.reset();
        reader.reset();
        TestFolder::TearDown();
    }
    std::string Flash(const std::string& name) { return ReadWholeFile(dir / "flash" / name); }

    std::unique_ptr<lumosim::Simulator> reader;
    std::unique_ptr<CLXTransferWorker> worker;
    std::atomic<int> connectStates{0};
};

TEST_F(WorkerEndToEndTest, SendsEditionsAPackageASystemImageAndAMarkup) {
    StartReader();
    EXPECT_GT(connectStates.load(), 0);
    std::string version, identifier;
    ASSERT_EQ(worker->GetVersionAndId(version, identifier), EB_ERR_SUCCESS);
    EXPECT_EQ(identifier.substr(0, 12), "SIM-READER-7");
    bool blank = true;
    ASSERT_EQ(worker->HasBlankSystem(blank), EB_ERR_SUCCESS);
    EXPECT_FALSE(blank);

    EditionBuilder moby;
    moby.entries = {{"info", Info("Moby"), 2}, {"package.opf", PackageXml("Moby Dick")}};
    moby.trailingPadding = 5000;
    moby.WriteTo(dir / "moby.lx");
    const std::string mobyBytes = moby.Build();
    EditionBuilder package;
    package.magic = kPackageMagic;
    package.entries = {{"kernel.bin", SystemImage(1, std::string(3000, 'k'))},
                       {"wait", "1"},
                       {"system.info", "about"}};
    package.WriteTo(dir / "update.lx");
    Write("sys.lff", SystemImage(2, std::string(2500, 's')));
    Write("moby.la", std::string(700, 'a'));

    auto window = std::make_shared<RecordingWindow>();
    const std::vector<std::string> files = {(dir / "moby.lx").string(),
                                            (dir / "update.lx").string(),
                                            (dir / "sys.lff").string(), (dir / "moby.la").string()};
    auto job = worker->StartSend(files, 1, window);
    ASSERT_TRUE(window->WaitEnded(120s));
    EXPECT_EQ(window->endResult, EB_ERR_SUCCESS);
    EXPECT_EQ(job->Size(), fs::file_size(dir / "moby.lx") + fs::file_size(dir / "update.lx") +
                               fs::file_size(dir / "sys.lff") + fs::file_size(dir / "moby.la"));

    EXPECT_EQ(Flash("moby.lx"), mobyBytes.substr(0, mobyBytes.size() - 5000));
    EXPECT_EQ(Flash("kernel.bin"), SystemImage(1, std::string(3000, 'k')));
    EXPECT_FALSE(fs::exists(dir / "flash" / "wait"));
    EXPECT_EQ(Flash("sys.lff"), SystemImage(2, std::string(2500, 's')));
    EXPECT_EQ(Flash("moby.la"), std::string(700, 'a'));
    EXPECT_FALSE(worker->IsFirmwareMode());

    std::lock_guard lock(window->mutex);
    ASSERT_FALSE(window->reports.empty());
    const CLXTransfer& first = window->reports.front();
    EXPECT_EQ(first.Description(), "Moby Dick");
    EXPECT_EQ(first.FileCount(), 4);
    const auto firmware = std::find_if(window->reports.begin(), window->reports.end(),
                                       [](const CLXTransfer& r) { return r.FileCount() == 1; });
    ASSERT_NE(firmware, window->reports.end());
    EXPECT_EQ(firmware->Description(), "Firmware");
    EXPECT_TRUE(window->reports.back().IsComplete());
    EXPECT_EQ(window->reports.back().Description(), "Markups");
}

TEST_F(WorkerEndToEndTest, FetchesTheTitleListAndMarkups) {
    StartReader();
    EditionBuilder moby;
    moby.entries = {{"info", Info("Moby"), 2}};
    fs::create_directories(dir / "flash");
    moby.WriteTo(dir / "flash" / "moby.lx");
    Write("flash/moby.lh", "highlights");

    const auto titles = dir / "__TITLES";
    ASSERT_EQ(worker->FetchFile("__TITLES", titles.string(), 0, nullptr, "List of Titles", 0, 1,
                                lumo::kContextTitleList),
              EB_ERR_SUCCESS);
    ASSERT_EQ(ConvertReaderTitleList(titles.string()), 0);
    const std::string list = ReadWholeFile(titles);
    EXPECT_EQ(list.substr(0, 12), "[LumoBook]\r\n");
    EXPECT_NE(list.find("TITLECOUNT=1\n"), std::string::npos);
    EXPECT_NE(list.find("filename=\"moby.lx\""), std::string::npos);
    EXPECT_NE(list.find("LH=\"yes\""), std::string::npos);
    EXPECT_EQ(list.find('\r', 12), std::string::npos);
    EXPECT_NE(list.back(), '\0');

    // A long local path is received under a short name and moved into place.
    fs::path folder = dir;
    while (folder.string().size() < 240) folder /= std::string(30, 'm');
    fs::create_directories(folder);
    auto window = std::make_shared<RecordingWindow>();
    worker->StartFetch({"moby.lh"}, {(folder / "moby.lh").string()}, 1, window);
    ASSERT_TRUE(window->WaitEnded(60s));
    EXPECT_EQ(window->endResult, EB_ERR_SUCCESS);
    EXPECT_EQ(ReadWholeFile(folder / "moby.lh"), "highlights");
}

class SilentLibraryUI : public ILXLibraryUI {
public:
    void ShowMessage(const std::string&, const std::string&, Icon) override {}
    bool AskYesNo(const std::string&, const std::string&) override { return false; }
    void UpdateAllViews(int, const CLXCard*) override {}
};

TEST_F(WorkerEndToEndTest, ReadsTheReadersTitlesAndMarkupsIntoTheLibrary) {
    StartReader();
    CLXSettingsStore& settings = worker->Settings();
    fs::create_directories(dir / "lib/Books");
    settings.WriteString((dir / "lib/Books").string(), "Data Locations", "BookDir");
    SilentLibraryUI ui;
    CLXLibraryDoc library(settings, ui, worker.get());
    ASSERT_TRUE(library.OnOpenDocument((dir / "lib/library.lxl").string()));
    for (const std::string name : {"moby", "tale", "gone"}) {
        EditionBuilder edition;
        edition.entries = {{"info", Info(name), 2}};
        edition.WriteTo(dir / (name + ".lx"));
        fs::create_directories(dir / "flash");
        edition.WriteTo(dir / "flash" / (name + ".lx"));
        if (name == "gone") continue;
        ASSERT_EQ(library.AddTitleFromFile((dir / (name + ".lx")).string(), false), 1);
    }
    Write("flash/moby.la", "annotations");
    Write("flash/moby.ln", "notes");
    Write("flash/gone.lh", "highlights of a title the library does not hold");

    tPI_STRING deviceId;
    ASSERT_EQ(worker->GetStatus()->GetDeviceID(deviceId), EB_ERR_SUCCESS);
    const std::string readerId = deviceId.str();
    EXPECT_EQ(readerId, "SIM-READER-7");
    const auto titles = lumo::PrivateTempDir() / "__TITLES";
    ASSERT_EQ(worker->FetchFile("__TITLES", titles.string(), 0, nullptr, "List of Titles", 0, 1,
                                lumo::kContextTitleList),
              EB_ERR_SUCCESS);
    lumo::MarkupFetchList fetch;
    ASSERT_EQ(lumo::ProcessReaderTitleList(titles.string(), readerId, library, settings, fetch), 0);
    ASSERT_EQ(fetch.remoteNames, (std::vector<std::string>{"moby.la", "moby.ln"}));
    for (int i = 0; i < library.GetCardCount(); ++i) EXPECT_EQ(library.CardAt(i).onReader, 1u);

    auto window = std::make_shared<RecordingWindow>();
    auto job = worker->StartFetch(fetch.remoteNames, fetch.localPaths, 1, window);
    ASSERT_TRUE(window->WaitEnded(60s));
    ASSERT_EQ(job->SucceededCount(), 2u);
    EXPECT_EQ(lumo::AttachFetchedMarkups(library, fetch, job->SucceededCount()), 2);
    const int moby = library.FindCard("reader", "ebook:moby");
    ASSERT_GE(moby, 0);
    ASSERT_EQ(library.CardAt(moby).markups.size(), 2u);
    EXPECT_EQ(library.CardAt(moby).markups[0].readerId, readerId);
    EXPECT_EQ(ReadWholeFile(dir / "lib/Books/SIM-READER-7/moby.la"), "annotations");
    EXPECT_EQ(ReadWholeFile(dir / "lib/Books/SIM-READER-7/moby.ln"), "notes");
}

TEST_F(WorkerEndToEndTest, CancellingAPacedSendStopsTheJob) {
    lumosim::SimulatorOptions options;
    options.pace = true;
    StartReader(options);
    Write("big.la", std::string(200000, 'b'));
    Write("next.la", std::string(100, 'n'));
    auto window = std::make_shared<RecordingWindow>();
    auto job =
        worker->StartSend({(dir / "big.la").string(), (dir / "next.la").string()}, 1, window);
    ASSERT_TRUE(window->WaitReports(2, 60s));
    worker->CancelJob(job);
    ASSERT_TRUE(window->WaitEnded(60s));
    EXPECT_EQ(window->endResult, EB_ERR_OPERATION_CANCELLED);
    EXPECT_FALSE(fs::exists(dir / "flash" / "next.la"));
}

TEST_F(WorkerEndToEndTest, DestroyingTheWorkerDuringAJobEndsTheJobFirst) {
    lumosim::SimulatorOptions options;
    options.pace = true;
    StartReader(options);
    Write("big.la", std::string(200000, 'b'));
    auto window = std::make_shared<RecordingWindow>();
    worker->StartSend({(dir / "big.la").string(), (dir / "big.la").string()}, 1, window);
    ASSERT_TRUE(window->WaitReports(1, 60s));
    const auto start = std::chrono::steady_clock::now();
    worker.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 15s);
    EXPECT_TRUE(window->ended);
    EXPECT_EQ(window->endResult, EB_ERR_OPERATION_CANCELLED);
}

TEST_F(WorkerEndToEndTest, AJobWithoutAReaderEndsWithTheLinkState) {
    lumosim::SimulatorOptions options;
    StartReader(options);
    reader->SetSilent(true);
    worker->Disconnect();
    Write("a.la", "annotations");
    auto window = std::make_shared<RecordingWindow>();
    worker->StartSend({(dir / "a.la").string()}, 1, window);
    ASSERT_TRUE(window->WaitEnded(60s));
    EXPECT_NE(window->endResult, EB_ERR_SUCCESS);
    EXPECT_NE(window->endResult, EB_ERR_OPERATION_CANCELLED);
}

// The worker as the port search drives it.
class WorkerSearchLink : public lumo::CLXPortSearchLink {
public:
    explicit WorkerSearchLink(CLXTransferWorker& worker) : worker_(worker) {}
    int Disconnect() override { return worker_.Disconnect(); }
    int Connect(const char* port, int mask) override {
        return worker_.Connect(port, static_cast<BAUD_BITS_MASK>(mask));
    }
    int GetEbConnectState() override { return worker_.GetEbConnectState(); }

private:
    CLXTransferWorker& worker_;
};

class SearchResult : public lumo::CLXPortSearchView {
public:
    void SetStatusLine(int port, const std::string& text) override {
        std::lock_guard lock(mutex);
        lines[port] = text;
    }
    void SetMessageLine(const std::string&) override {}
    void SearchDone(lumo::PortSearchOutcome result, int port) override {
        std::lock_guard lock(mutex);
        outcome = result;
        found = port;
        changed.notify_all();
    }
    std::mutex mutex;
    std::condition_variable changed;
    std::string lines[6];
    int outcome = 0;
    int found = -1;
};

TEST_F(WorkerEndToEndTest, ThePortSearchFindsTheReaderAmongAbsentAndBusyPorts) {
    StartReader();
    lumosim::SimulatorOptions otherOptions;
    otherOptions.flash = dir / "other-flash";
    otherOptions.silent = true;  // a device that is not a reader
    lumosim::Simulator other(otherOptions);
    other.Start();
    // A port that another program holds.
    int master = -1, slave = -1;
    char busyPort[256] = {};
    ASSERT_EQ(openpty(&master, &slave, busyPort, nullptr, nullptr), 0);
    ASSERT_EQ(flock(slave, LOCK_EX | LOCK_NB), 0);
    worker->Disconnect();
    CLXSettingsStore& settings = worker->Settings();
    settings.WriteString("/dev/lumo-absent-1", "DataComm", "COM1");
    settings.WriteString(other.DevicePath(), "DataComm", "COM2");
    settings.WriteString("/dev/lumo-absent-3", "DataComm", "COM3");
    settings.WriteString(reader->DevicePath(), "DataComm", "COM4");
    settings.WriteString("/dev/lumo-absent-5", "DataComm", "COM5");
    settings.WriteString(busyPort, "DataComm", "COM6");

    WorkerSearchLink link(*worker);
    SearchResult view;
    lumo::CLXPortSearch search(link, view, 10s);
    std::array<lumo::SearchedPort, 6> ports;
    for (int i = 0; i < 6; ++i) {
        const std::string name = "COM" + std::to_string(i + 1);
        ports[i] = {name, settings.StringOr("DataComm", name)};
    }
    search.Start(ports);
    {
        std::unique_lock lock(view.mutex);
        ASSERT_TRUE(view.changed.wait_for(lock, 60s, [&] { return view.outcome != 0; }));
    }
    search.Join();
    EXPECT_EQ(view.outcome, lumo::kReaderFound);
    EXPECT_EQ(view.found, 3);
    EXPECT_EQ(view.lines[0], "Port Absent");
    EXPECT_EQ(view.lines[1], "Port Present, Lumo eBook Not Attached");
    EXPECT_EQ(view.lines[3], "Port Present, Lumo eBook Attached");
    EXPECT_EQ(view.lines[5], "Port Present, Other Device Attached");
    other.Stop();
    ::close(slave);
    ::close(master);
}

}  // namespace
