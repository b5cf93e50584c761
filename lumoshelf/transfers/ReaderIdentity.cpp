#include "transfers/ReaderIdentity.h"

namespace lumo {

bool SplitVersionAndId(const std::string& reply, std::string& version, std::string& identifier) {
    const auto slash = reply.find('/');
    if (slash == std::string::npos) return false;
    version = reply.substr(0, slash);
    identifier = reply.substr(slash + 1);
    return true;
}

bool IsBlankSystemVersion(const std::string& version) {
    static constexpr char kBlankVersion[] = "000.000";
    return version.compare(0, sizeof kBlankVersion - 1, kBlankVersion) == 0;
}

}  // namespace lumo
