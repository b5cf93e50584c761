// Makes lumolink's private temporary folder, prints it and exits, for the test that checks the
// folder is gone afterwards.
#include <cstdio>

#include "lumolink/platform/PrivateTempDir.h"

int main() {
    const std::filesystem::path& folder = lumolink::PrivateTempDir();
    if (!std::filesystem::is_directory(folder)) return 1;
    std::printf("%s\n", folder.c_str());
    return 0;
}
