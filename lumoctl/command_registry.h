#pragma once

#include <CLI/CLI.hpp>
#include <optional>
#include <string>

namespace lumoctl {

// Options that come before the command group and apply to every command.
struct GlobalOptions {
    std::string settingsFile;          // --settings: the settings store to use
    std::optional<std::string> port;   // --port: overrides "DataComm"/"ComPort"
    std::optional<int> speedMask;      // --speed: overrides "DataComm"/"BaudRate"
    std::optional<std::string> logFile;  // --log: switches the link log on
};

using CommandGroup = void (*)(CLI::App& app, const GlobalOptions& options);

// Each *_commands.cpp holds one static CommandRegistration that adds its group to the app.
struct CommandRegistration {
    explicit CommandRegistration(CommandGroup group);
};

void addRegisteredCommands(CLI::App& app, const GlobalOptions& options);

// The subcommand "name" of app, created on first use, so that several files can add commands
// to one group ("device" has link commands and transfer commands).
CLI::App& commandGroup(CLI::App& app, const std::string& name, const std::string& description);

// Thrown by a command to end lumoctl with a message and an exit code.
struct CommandFailure {
    std::string message;
    int exitCode = 1;
};

}  // namespace lumoctl
