// Faults: files of random sizes sent to and fetched from a reader on a line that loses and
// changes bytes. Every transfer must arrive byte-identical or fail with a clear code; none may
// report success with other content; and the link must be connected again at the end.

#include <CLI/CLI.hpp>
#include <chrono>
#include <cstdio>
#include <map>
#include <random>

#include "lumosim/harness/ReaderHarness.h"
#include "lumosim/harness/TestFiles.h"

namespace {

using namespace std::chrono;
using lumosim::testing::ReadFile;
using lumosim::testing::WriteFile;

struct Tally {
    int intact = 0;
    int wrongContent = 0;
    std::map<std::string, int> failures;
};

void Print(const char* direction, const Tally& tally) {
    std::printf("%-6s intact %d, wrong content %d, failed:", direction, tally.intact,
                tally.wrongContent);
    if (tally.failures.empty()) std::printf(" none");
    for (const auto& [code, count] : tally.failures) std::printf(" %s %d", code.c_str(), count);
    std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"Transfers over a noisy line against the simulated reader"};
    int files = 50;
    std::size_t maxSize = 64 * 1024;
    lumosim::SimulatorOptions options;
    options.drop = 0.01;
    options.corrupt = 0.01;
    app.add_option("--files", files, "Files each way")->capture_default_str();
    app.add_option("--max-size", maxSize, "Largest file size in bytes")->capture_default_str();
    app.add_option("--drop", options.drop, "Probability that a byte is lost")
        ->capture_default_str();
    app.add_option("--corrupt", options.corrupt, "Probability that a byte is changed")
        ->capture_default_str();
    app.add_option("--seed", options.seed, "Seed of the line faults")->capture_default_str();
    CLI11_PARSE(app, argc, argv);

    lumosim::testing::TempFolder folder;
    options.flash = folder.Path() / "flash";
    lumosim::ReaderHarness harness(options);
    const auto start = steady_clock::now();
    if (!harness.Connect(BAUD_BITS_ALL, minutes(2))) {
        std::fprintf(stderr, "the simulated reader did not connect\n");
        return 1;
    }

    std::mt19937 random(static_cast<unsigned>(options.seed));
    Tally sent, fetched;
    for (int i = 0; i < 2 * files; ++i) {
        const bool send = i % 2 == 0;
        std::vector<uint8_t> content(random() % (maxSize + 1));
        for (auto& byte : content) byte = static_cast<uint8_t>(random());
        const std::string name = "f" + std::to_string(i) + ".bin";
        const auto source = send ? folder.Path() / name : harness.Flash() / name;
        const auto target = send ? harness.Flash() / name : folder.Path() / name;
        WriteFile(source, content);

        harness.Host().WaitForState(EB_ERR_STATUS_CONNECTED, minutes(1));
        const EB_ERR_STATUS result =
            send ? harness.Send(source, name) : harness.Fetch(name, target);
        Tally& tally = send ? sent : fetched;
        if (result != EB_ERR_SUCCESS) {
            ++tally.failures[CLumoConnect::GetEbErrMsg(result)];
        } else if (ReadFile(target) == content) {
            ++tally.intact;
        } else {
            ++tally.wrongContent;
        }
    }
    const bool reconnected = harness.Host().WaitForState(EB_ERR_STATUS_CONNECTED, minutes(1));
    const lumosim::LineStats line = harness.Reader().Line();

    std::printf("%d files each way, 0 to %zu bytes, drop %.3f, corrupt %.3f, %.0f s\n", files,
                maxSize, options.drop, options.corrupt,
                duration<double>(steady_clock::now() - start).count());
    Print("send", sent);
    Print("fetch", fetched);
    std::printf("line: %llu bytes in, %llu out, %llu lost, %llu changed, %llu bad frames\n",
                (unsigned long long)line.bytesIn, (unsigned long long)line.bytesOut,
                (unsigned long long)line.dropped, (unsigned long long)line.corrupted,
                (unsigned long long)line.badFrames);
    const bool met = sent.wrongContent == 0 && fetched.wrongContent == 0 && reconnected;
    std::printf("no success with wrong content, connected afterwards: %s\n",
                met ? "met" : "MISSED");
    return met ? 0 : 1;
}
