#pragma once

// Everything that chooses how the simulated reader behaves; the program's options fill it.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "lumosim/ReaderSession.h"

namespace CLI {
class App;
}

namespace lumosim {

struct SimulatorOptions {
    std::filesystem::path flash = "lumosim-flash";
    uint64_t flashSize = 64ull << 20;
    std::filesystem::path link;  // a symbolic link to the device path, when set
    std::string identifier = "LUMOSIM-0001";
    std::string firmware = "001.024-RM-024-R";
    unsigned speeds = 0x1F;
    bool pace = false;
    bool strictSpeed = false;
    double drop = 0;
    double corrupt = 0;
    double badLength = 0;
    bool shortIdentity = false;
    uint64_t seed = 1;
    bool silent = false;
    NackMode nack = NackMode::Never;
    std::vector<std::string> refuse;
    unsigned firstHandle = 1;
    std::optional<uint64_t> abortAfter;
    unsigned busyAfterFileMs = 0;
    unsigned restartTimeMs = 1500;
    bool verbose = false;
};

void AddSimulatorOptions(CLI::App& app, SimulatorOptions& options);

}  // namespace lumosim
