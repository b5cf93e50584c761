// Line efficiency: a 256 KiB text edition sent to and fetched from a reader that paces its bytes
// at 115200 bit/s. The time of each transfer is compared with the time its bytes need on the
// wire (every frame both ways, one after the other, 10 bits a byte). Target: at most 10 % more.

#include <CLI/CLI.hpp>
#include <chrono>
#include <cstdio>

#include "lumosim/harness/ReaderHarness.h"
#include "lumosim/harness/TestFiles.h"

namespace {

using namespace std::chrono;
using lumosim::ReaderHarness;

constexpr double kBitsPerByte = 10;
constexpr double kLineSpeed = 115200;
constexpr double kTarget = 1.10;

struct Measure {
    EB_ERR_STATUS result;
    double seconds;
    double wireSeconds;
};

template <typename Transfer>
Measure Time(ReaderHarness& harness, Transfer transfer) {
    harness.Host().WaitForState(EB_ERR_STATUS_CONNECTED, seconds(10));
    const lumosim::LineStats before = harness.Reader().Line();
    const auto start = steady_clock::now();
    const EB_ERR_STATUS result = transfer();
    const double elapsed = duration<double>(steady_clock::now() - start).count();
    const lumosim::LineStats after = harness.Reader().Line();
    const double bytes = double(after.bytesIn - before.bytesIn + after.bytesOut - before.bytesOut);
    return {result, elapsed, bytes * kBitsPerByte / kLineSpeed};
}

bool Report(const char* what, const Measure& m) {
    const double ratio = m.seconds / m.wireSeconds;
    const bool met = m.result == EB_ERR_SUCCESS && ratio <= kTarget;
    std::printf("%-6s %s: %.3f s, bytes on the wire need %.3f s, ratio %.3f (target <= %.2f) %s\n",
                what, CLumoConnect::GetEbErrMsg(m.result), m.seconds, m.wireSeconds, ratio, kTarget,
                met ? "met" : "MISSED");
    return met;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"Line efficiency of the link at 115200 bit/s against the paced simulated reader"};
    std::size_t size = 256 * 1024;
    app.add_option("--size", size, "Edition size in bytes")->capture_default_str();
    CLI11_PARSE(app, argc, argv);

    lumosim::testing::TempFolder folder;
    lumosim::SimulatorOptions options;
    options.flash = folder.Path() / "flash";
    options.pace = true;
    ReaderHarness harness(options);
    if (!harness.Connect()) {
        std::fprintf(stderr, "the simulated reader did not connect\n");
        return 1;
    }
    const auto edition = lumosim::testing::MakeTextEdition("Efficiency", size);
    lumosim::testing::WriteFile(folder.Path() / "text.lx", edition);
    std::printf("edition of %zu bytes at %.0f bit/s\n", edition.size(), kLineSpeed);

    const Measure send =
        Time(harness, [&] { return harness.Send(folder.Path() / "text.lx", "text.lx"); });
    const Measure fetch =
        Time(harness, [&] { return harness.Fetch("text.lx", folder.Path() / "back.lx"); });
    const bool sendMet = Report("send", send);
    const bool fetchMet = Report("fetch", fetch);
    const bool intact = lumosim::testing::ReadFile(folder.Path() / "back.lx") == edition;
    if (!intact) std::printf("the fetched edition differs from the one sent\n");
    return sendMet && fetchMet && intact ? 0 : 1;
}
