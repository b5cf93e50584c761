#include <signal.h>

#include <CLI/CLI.hpp>
#include <cstdio>
#include <exception>

#include "lumo_version.h"
#include "lumosim/Simulator.h"

int main(int argc, char** argv) {
    lumosim::SimulatorOptions options;
    CLI::App app{
        "lumosim: a simulated Lumo eBook reader on a pseudo-terminal.\n"
        "Prints the device path as its first line, then answers on it as a reader would\n"
        "until it is interrupted. Files sent to it go into the flash folder."};
    app.set_version_flag("--version", std::string("lumosim ") + LUMO_PRODUCT_VERSION);
    lumosim::AddSimulatorOptions(app, options);
    CLI11_PARSE(app, argc, argv);

    // The signals are taken by sigwait below, so that stopping is an ordinary call.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    try {
        lumosim::Simulator simulator(options);
        std::printf("%s\n", simulator.DevicePath().c_str());
        std::fflush(stdout);
        simulator.Start();
        int signal = 0;
        sigwait(&stopSignals, &signal);
        simulator.Stop();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "lumosim: %s\n", error.what());
        return 1;
    }
    return 0;
}
