#pragma once

// An auto-reset event the communication thread can poll: Signal() makes it readable, Consume()
// resets it.

namespace lumolink {

class EventFd {
public:
    EventFd();
    ~EventFd();
    EventFd(const EventFd&) = delete;
    EventFd& operator=(const EventFd&) = delete;

    void Signal();
    // Resets the event; returns whether it was signalled.
    bool Consume();
    int fd() const { return fd_; }

private:
    int fd_;
};

}  // namespace lumolink
