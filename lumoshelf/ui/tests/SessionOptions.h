#pragma once

#include <QString>
#include <chrono>

#include "DemoLibrary.h"
#include "ui/ProgramSession.h"

// Start-up options for a session on a demo library, with a short hand-over patience.
inline ProgramSession::Options optionsFor(const DemoLibrary& library, const QString& file = {}) {
    using namespace std::chrono_literals;
    ProgramSession::Options options;
    options.settingsPath = library.settingsPath();
    options.commandLineFile = file;
    options.dataFolder = library.path("data");
    options.handOverPatience = 1000ms;
    return options;
}
