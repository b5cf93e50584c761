#pragma once

// The reader's end of the cable: the master side of a pseudo-terminal. The slave side is the
// device path that the host program opens as its serial port.

#include <filesystem>
#include <optional>
#include <string>

namespace lumosim {

class PseudoTerminal {
public:
    // Opens the pair and puts the line into raw mode; throws std::system_error on failure.
    PseudoTerminal();
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    int MasterFd() const { return master_; }
    // Readable when the host has closed its end.
    int HostCloseFd() const { return closeWatch_; }
    // After the host closed its end: forgets the answers it did not read and ends the exclusive
    // use it claimed, which a pseudo-terminal would otherwise keep until the reader goes, so
    // that the host (run by an ordinary user) can open the port again.
    void HostClosed();
    const std::string& DevicePath() const { return devicePath_; }

    // The line speed in bit/s that the host last set on its end, if it is a standard one.
    std::optional<unsigned> HostSpeed() const;

    // A symbolic link to the device path; removed again when the terminal closes.
    void LinkAs(const std::filesystem::path& link);

private:
    int master_ = -1;
    // Held open so that the master never sees a hang-up while the host has the port closed.
    int slave_ = -1;
    int closeWatch_ = -1;
    std::string devicePath_;
    std::filesystem::path link_;
};

}  // namespace lumosim
