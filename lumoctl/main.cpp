#include <cstdio>
#include <iostream>

#include "command_registry.h"
#include "lumo_version.h"

int main(int argc, char** argv) {
    lumoctl::GlobalOptions options;
    CLI::App app{"lumoctl: the lumoshelf library, the reader and its fonts from the command line"};
    app.set_version_flag("--version", std::string("lumoctl ") + LUMO_PRODUCT_VERSION);
    app.require_subcommand(1);
    app.option_defaults()->always_capture_default();
    app.add_option("--settings", options.settingsFile,
                   "Settings file (default: $LUMOSHELF_SETTINGS or the user's settings.ini)");
    app.add_option("--port", options.port, "Serial port: COM1..COM6 or a device path");
    app.add_option("--speed", options.speedMask, "Speed bits: 16=115200 8=57600 4=19200 2=9600 1=2400");
    app.add_option("--log", options.logFile, "Write the link log to this file");

    lumoctl::addRegisteredCommands(app, options);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        return app.exit(error);
    } catch (const lumoctl::CommandFailure& failure) {
        std::fflush(stdout);
        std::cerr << "lumoctl: " << failure.message << '\n';
        return failure.exitCode;
    }
    return 0;
}
