#pragma once

#include <string>

// An advisory lock held on the library for the whole run, so that a second program (another
// instance, lumoctl) does not write the library while it is open. The lock lives on a file
// beside the library ("<library>.lock") because saves replace the library file itself.
class CLXLibraryLock {
public:
    CLXLibraryLock() = default;
    ~CLXLibraryLock() { Release(); }
    CLXLibraryLock(const CLXLibraryLock&) = delete;
    CLXLibraryLock& operator=(const CLXLibraryLock&) = delete;

    enum class Result { Held, HeldElsewhere, Unavailable };
    Result Acquire(const std::string& libraryPath);
    void Release();
    bool IsHeld() const { return fd_ >= 0; }

    static std::string LockPathFor(const std::string& libraryPath) { return libraryPath + ".lock"; }

private:
    int fd_ = -1;
};
