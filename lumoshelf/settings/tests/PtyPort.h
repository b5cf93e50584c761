#pragma once

#include <fcntl.h>
#include <pty.h>
#include <sys/file.h>
#include <unistd.h>

#include <string>

// A pseudo-terminal that stands for a serial port; Hold() makes it look taken by another program.
class PtyPort {
public:
    PtyPort() {
        char name[256] = {};
        if (openpty(&master_, &slave_, name, nullptr, nullptr) == 0) path_ = name;
    }
    ~PtyPort() {
        if (held_ >= 0) ::close(held_);
        if (slave_ >= 0) ::close(slave_);
        if (master_ >= 0) ::close(master_);
    }
    PtyPort(const PtyPort&) = delete;
    PtyPort& operator=(const PtyPort&) = delete;

    const std::string& Path() const { return path_; }
    bool Hold() {
        held_ = ::open(path_.c_str(), O_RDWR | O_NOCTTY);
        return held_ >= 0 && flock(held_, LOCK_EX | LOCK_NB) == 0;
    }

private:
    int master_ = -1;
    int slave_ = -1;
    int held_ = -1;
    std::string path_;
};
