#pragma once

#include <string>

namespace lumo {

// The text that the progress dialog shows for a file of a send job, chosen by the extension of
// its path: for editions the title in the edition's package (string 61450 "Title" when the
// package holds none), for markups string 311, for fonts 375, else 376. An edition file that
// cannot be read or is shorter than its header gives 7 (EB_ERR_CANT_ACCESS_LOCAL_FILE).
int DescribeSendFile(const std::string& localPath, std::string& description);

}  // namespace lumo
