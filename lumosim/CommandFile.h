#pragma once

// A received "__CMDFILE...": a "CMD!" line, then one command per line, applied in order.

#include <cstdint>
#include <span>

namespace lumosim {

class Flash;
struct ReaderSettings;

// The reader's last-error numbers for a command file: the first failing line sets it.
enum CommandError : int {
    kCommandOk = 0,
    kNotACommandFile = 1,
    kUnknownCommand = 2,
    kBadArguments = 3,
    kFontFileMissing = 4,
    kWrongIdentifier = 5,
};

struct CommandOutcome {
    bool restart = false;  // "RESET": the reader restarts once the file is closed
};

CommandOutcome ApplyCommandFile(std::span<const uint8_t> file, ReaderSettings& settings,
                                Flash& flash);

}  // namespace lumosim
