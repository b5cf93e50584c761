// A send job of ten editions through the transfer worker, against the same ten files sent with
// the link's own TransferFile, both to a simulated reader paced at 115200 bit/s. The worker's
// job thread, edition copies and progress reports may add at most 5 % to the link's time, and
// the progress reports that drive the dialog must come at least four times a second.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "EditionBuilder.h"
#include "RecordingWindow.h"
#include "lumosim/Simulator.h"
#include "transfers/TransferWorker.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

namespace {

constexpr int kEditions = 10;
constexpr std::size_t kEditionBytes = 16 * 1024;

class PlainLink : public CLumoConnect {};

double Seconds(Clock::duration duration) { return std::chrono::duration<double>(duration).count(); }

std::unique_ptr<lumosim::Simulator> StartReader(const fs::path& flash) {
    lumosim::SimulatorOptions options;
    options.flash = flash;
    options.pace = true;
    auto reader = std::make_unique<lumosim::Simulator>(options);
    reader->Start();
    return reader;
}

template <typename Link>
bool ConnectAt115200(Link& link, const std::string& device) {
    if (link.Connect(device.c_str(), BAUD_BITS_115200) != EB_ERR_SUCCESS) return false;
    const auto deadline = Clock::now() + 30s;
    while (link.GetEbConnectState() != EB_ERR_STATUS_CONNECTED && Clock::now() < deadline) {
        std::this_thread::sleep_for(20ms);
    }
    return link.GetEbConnectState() == EB_ERR_STATUS_CONNECTED;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == "--help") {
        std::puts(
            "transfer_bench: sends ten editions to a simulated reader at a paced 115200 "
            "bit/s, once with the link's TransferFile and once as a worker send job, and "
            "prints the job's overhead and the rate of progress reports against their "
            "targets (at most 5 %, at least 4 per second). Exit code 1 when a target is "
            "missed.");
        return 0;
    }
    std::string pattern = (fs::temp_directory_path() / "transfer-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) return 2;
    const fs::path dir = pattern;
    std::vector<std::string> files;
    for (int i = 0; i < kEditions; ++i) {
        testing_editions::EditionBuilder edition;
        edition.entries = {{"info", "Title=Bench " + std::to_string(i) + "\n", 2},
                           {"page", std::string(kEditionBytes, static_cast<char>('a' + i))}};
        const fs::path path = dir / ("bench" + std::to_string(i) + ".lx");
        edition.WriteTo(path);
        files.push_back(path.string());
    }

    Clock::duration linkTime{};
    {
        auto reader = StartReader(dir / "flash-link");
        PlainLink link;
        if (!ConnectAt115200(link, reader->DevicePath())) return 2;
        const auto start = Clock::now();
        for (const std::string& file : files) {
            CLumoConnectTransfer transfer(file.c_str(), fs::path(file).filename().c_str(),
                                          PPP_CONN_XFER_DIR_SEND, 1, LUMO_FILE_TYPE_DEFAULT, 0);
            if (link.TransferFile(&transfer) != EB_ERR_SUCCESS) return 2;
        }
        linkTime = Clock::now() - start;
        link.Disconnect();
    }

    Clock::duration jobTime{};
    double reportsPerSecond = 0;
    {
        auto reader = StartReader(dir / "flash-job");
        std::string settings = (dir / "settings.ini").string();
        CLXTransferWorker worker(settings);
        if (!ConnectAt115200(worker, reader->DevicePath())) return 2;
        auto window = std::make_shared<RecordingWindow>();
        const auto start = Clock::now();
        worker.StartSend(files, 1, window);
        if (!window->WaitEnded(600s) || window->endResult != EB_ERR_SUCCESS) return 2;
        jobTime = Clock::now() - start;
        // Reports during the files' transfers, without the reader's pause after each file.
        std::lock_guard lock(window->mutex);
        reportsPerSecond =
            static_cast<double>(window->reports.size()) / (Seconds(jobTime) - kEditions * 1.0);
        worker.Disconnect();
    }
    fs::remove_all(dir);

    const double overhead = (Seconds(jobTime) / Seconds(linkTime) - 1.0) * 100.0;
    const bool overheadOk = overhead <= 5.0;
    const bool reportsOk = reportsPerSecond >= 4.0;
    std::printf("link alone:   %d editions of %zu KB in %.2f s\n", kEditions, kEditionBytes / 1024,
                Seconds(linkTime));
    std::printf("worker job:   %.2f s, overhead %+.2f %% (target <= 5 %%): %s\n", Seconds(jobTime),
                overhead, overheadOk ? "ok" : "MISSED");
    std::printf("progress:     %.1f reports per second while sending (target >= 4): %s\n",
                reportsPerSecond, reportsOk ? "ok" : "MISSED");
    return overheadOk && reportsOk ? 0 : 1;
}
