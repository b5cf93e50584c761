// Throughput without pacing: how fast the link moves a file each way through the pseudo-terminal,
// and the processor time the host side spends per MiB. Target: at least 5 MB/s each way.

#include <sys/resource.h>

#include <CLI/CLI.hpp>
#include <chrono>
#include <cstdio>
#include <random>

#include "lumosim/harness/ReaderHarness.h"
#include "lumosim/harness/TestFiles.h"

namespace {

using namespace std::chrono;

constexpr double kTargetBytesPerSecond = 5e6;

duration<double> ProcessCpu() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return seconds(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           microseconds(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
}

template <typename Transfer>
bool Measure(const char* what, std::size_t size, lumosim::ReaderHarness& harness,
             Transfer transfer) {
    harness.Host().WaitForState(EB_ERR_STATUS_CONNECTED, seconds(10));
    const auto hostCpu = [&] {
        return ProcessCpu() - duration_cast<duration<double>>(harness.Reader().CpuTime());
    };
    const auto cpuBefore = hostCpu();
    const auto start = steady_clock::now();
    const EB_ERR_STATUS result = transfer();
    const double elapsed = duration<double>(steady_clock::now() - start).count();
    const double cpu = (hostCpu() - cpuBefore).count();
    const double mib = double(size) / (1 << 20);
    const double rate = double(size) / elapsed;
    const bool met = result == EB_ERR_SUCCESS && rate >= kTargetBytesPerSecond;
    std::printf(
        "%-6s %s: %.2f MiB in %.3f s = %.2f MB/s (target >= %.0f MB/s) %s; host CPU %.1f ms per "
        "MiB\n",
        what, CLumoConnect::GetEbErrMsg(result), mib, elapsed, rate / 1e6,
        kTargetBytesPerSecond / 1e6, met ? "met" : "MISSED", cpu * 1000 / mib);
    return met;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"Throughput of the link through a pseudo-terminal against the simulated reader"};
    std::size_t size = 16 << 20;
    app.add_option("--size", size, "File size in bytes")->capture_default_str();
    CLI11_PARSE(app, argc, argv);

    lumosim::testing::TempFolder folder;
    lumosim::SimulatorOptions options;
    options.flash = folder.Path() / "flash";
    options.flashSize = 4 * uint64_t(size);
    lumosim::ReaderHarness harness(options);
    if (!harness.Connect()) {
        std::fprintf(stderr, "the simulated reader did not connect\n");
        return 1;
    }
    std::vector<uint8_t> content(size);
    std::mt19937 random(1);
    for (auto& byte : content) byte = static_cast<uint8_t>(random());
    lumosim::testing::WriteFile(folder.Path() / "data.bin", content);

    const bool sendMet = Measure("send", size, harness, [&] {
        return harness.Send(folder.Path() / "data.bin", "data.bin");
    });
    const bool fetchMet = Measure("fetch", size, harness, [&] {
        return harness.Fetch("data.bin", folder.Path() / "back.bin");
    });
    const bool intact = lumosim::testing::ReadFile(folder.Path() / "back.bin") == content;
    if (!intact) std::printf("the fetched file differs from the one sent\n");
    return sendMet && fetchMet && intact ? 0 : 1;
}
