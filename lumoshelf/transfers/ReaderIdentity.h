#pragma once

#include <string>

namespace lumo {

// The reader's identity reply "version/identifier", split at the first "/"; false (and both
// strings unchanged) when the reply holds no "/".
bool SplitVersionAndId(const std::string& reply, std::string& version, std::string& identifier);

// A reader without usable system software reports a version beginning with "000.000".
bool IsBlankSystemVersion(const std::string& version);

}  // namespace lumo
