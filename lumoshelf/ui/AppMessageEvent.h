#pragma once

#include <QEvent>
#include <cstdint>
#include <memory>
#include <mutex>

class QObject;

// Data that travels with an application message; the receiving window owns it.
struct AppMessagePayload {
    virtual ~AppMessagePayload() = default;
};

// An application message (WM_APP_...) as a posted event: its type is the message number.
class AppMessageEvent : public QEvent {
public:
    AppMessageEvent(unsigned message, std::intptr_t wParam, std::intptr_t lParam,
                    std::unique_ptr<AppMessagePayload> payload = {});

    unsigned message() const { return unsigned(type()); }
    std::intptr_t wParam() const { return wParam_; }
    std::intptr_t lParam() const { return lParam_; }
    AppMessagePayload* payload() const { return payload_.get(); }

private:
    std::intptr_t wParam_;
    std::intptr_t lParam_;
    std::unique_ptr<AppMessagePayload> payload_;
};

// Posts a message to a window from any thread; the window handles it on the user-interface
// thread. Threads other than that one never touch a widget directly.
void postAppMessage(QObject* window, unsigned message, std::intptr_t wParam = 0,
                    std::intptr_t lParam = 0, std::unique_ptr<AppMessagePayload> payload = {});

// The window that threads post their messages to, for as long as it exists. Threads hold it by
// shared pointer; once the window has detached it, posts are dropped (their payload freed), so a
// job that ends after the window closed never posts to a deleted object.
class AppMessageTarget {
public:
    explicit AppMessageTarget(QObject* window) : window_(window) {}

    // False when the window is gone and the message was dropped.
    bool post(unsigned message, std::intptr_t wParam = 0, std::intptr_t lParam = 0,
              std::unique_ptr<AppMessagePayload> payload = {});
    // Called by the window, on its own thread, before it is destroyed.
    void detach();

private:
    std::mutex mutex_;
    QObject* window_;
};
