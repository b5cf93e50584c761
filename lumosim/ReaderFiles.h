#pragma once

// The reader's file service: one file open at a time, written in chunks or read in blocks.
// Written files reach the flash only when closed; "__STATUS" and "__TITLES" are made when opened;
// a closed "__CMDFILE..." is applied to the settings and then discarded.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "lumosim/CommandFile.h"

namespace lumosim {

class Flash;
struct ReaderSettings;

class ReaderFiles {
public:
    ReaderFiles(Flash& flash, ReaderSettings& settings) : flash_(flash), settings_(settings) {}

    // Names matching one of these patterns (shell wildcards, case ignored) are refused.
    void SetRefused(std::vector<std::string> patterns) { refused_ = std::move(patterns); }
    void SetFirstHandle(uint8_t handle) { nextHandle_ = handle == 0 ? 1 : handle; }

    // Each returns the new handle, 0 when refused.
    uint8_t Create(const std::string& remoteName, uint32_t size);
    uint8_t Open(const std::string& remoteName);

    bool IsOpen(uint8_t handle) const { return open_ && open_->handle == handle; }
    bool IsWriting() const { return open_ && open_->writing; }
    uint32_t Size() const { return open_ ? open_->size : 0; }
    uint64_t Position() const { return open_ ? open_->position : 0; }
    const std::string& Name() const { return open_->name; }

    // Keeps at most the announced size: chunk padding past the end is not part of the file.
    struct Padding {
        std::size_t bytes = 0;
        std::size_t nonZero = 0;
    };
    Padding Append(std::span<const uint8_t> chunk);
    // The next block of at most 2048 bytes; empty at the end.
    std::span<const uint8_t> NextBlock();

    // Stores a written file; returns what a command file asked for.
    struct Closed {
        bool stored = false;
        CommandOutcome commands;
    };
    Closed Close();
    void Discard() { open_.reset(); }

private:
    struct OpenFile {
        uint8_t handle;
        std::string name;
        bool writing;
        uint32_t size;
        std::vector<uint8_t> bytes;
        uint64_t position = 0;
    };

    bool IsRefused(const std::string& name) const;
    uint8_t TakeHandle();
    std::optional<std::vector<uint8_t>> Contents(const std::string& name) const;

    Flash& flash_;
    ReaderSettings& settings_;
    std::vector<std::string> refused_;
    uint8_t nextHandle_ = 1;
    std::optional<OpenFile> open_;
};

}  // namespace lumosim
