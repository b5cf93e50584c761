#include "lumosim/SimulatorOptions.h"

#include <CLI/CLI.hpp>
#include <map>

namespace lumosim {
namespace {

auto Probability() { return CLI::Range(0.0, 1.0); }

}  // namespace

void AddSimulatorOptions(CLI::App& app, SimulatorOptions& o) {
    app.add_option("--flash", o.flash, "Folder that holds the reader's files")
        ->capture_default_str();
    app.add_option("--flash-size", o.flashSize, "Capacity of the flash in bytes")
        ->capture_default_str();
    app.add_option("--link", o.link, "Also make this symbolic link to the device path");
    app.add_option("--id", o.identifier, "The reader's identifier")->capture_default_str();
    app.add_option("--firmware", o.firmware, "The reader's firmware version text")
        ->capture_default_str();
    app.add_option("--speeds", o.speeds,
                   "Speed bits the reader accepts: 16=115200 8=57600 4=19200 2=9600 1=2400")
        ->check(CLI::Range(1u, 31u))
        ->capture_default_str();
    app.add_flag("--pace", o.pace, "Bytes take the time they take at the negotiated speed");
    app.add_flag("--strict-speed", o.strictSpeed,
                 "Bytes are lost while the host's port speed differs from the reader's");
    app.add_option("--drop", o.drop, "Probability that a byte is lost, either way")
        ->check(Probability());
    app.add_option("--corrupt", o.corrupt, "Probability that a byte is changed, either way")
        ->check(Probability());
    app.add_option("--bad-length", o.badLength,
                   "Probability that an answer carries a wrong packet length field")
        ->check(Probability());
    app.add_flag("--short-identity", o.shortIdentity,
                 "Send the identity without the zeros that fill it to 40 bytes");
    app.add_option("--seed", o.seed, "Seed of the fault injection")->capture_default_str();
    app.add_flag("--silent", o.silent, "Plugged in but not answering");
    const std::map<std::string, NackMode> nackModes = {
        {"never", NackMode::Never}, {"bad", NackMode::BadFrames}, {"always", NackMode::Always}};
    app.add_option("--nack", o.nack,
                   "Answer with a negative acknowledgement: never, bad (frames that fail the "
                   "checks) or always")
        ->transform(CLI::CheckedTransformer(nackModes, CLI::ignore_case));
    app.add_option("--refuse", o.refuse,
                   "Refuse to create or open files matching this pattern (repeatable)")
        ->allow_extra_args(false);
    app.add_option("--first-handle", o.firstHandle, "First file handle given out (1-255)")
        ->check(CLI::Range(1u, 255u))
        ->capture_default_str();
    app.add_option("--abort-after", o.abortAfter,
                   "Abort every transfer once this many bytes have passed");
    app.add_option("--busy", o.busyAfterFileMs, "Milliseconds the reader stays busy after a file")
        ->capture_default_str();
    app.add_option("--restart-time", o.restartTimeMs,
                   "Milliseconds a RESET command keeps the reader silent")
        ->capture_default_str();
    app.add_flag("-v,--verbose", o.verbose, "Log what the reader does to standard error");
}

}  // namespace lumosim
