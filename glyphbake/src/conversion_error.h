#pragma once

#include <string>

namespace glyphbake {

// A failed step of a conversion or a name query. engineError is the font engine's own code when
// the engine refused the step, 0 otherwise.
struct ConversionError {
    std::string description;
    int engineError = 0;
};

}  // namespace glyphbake
