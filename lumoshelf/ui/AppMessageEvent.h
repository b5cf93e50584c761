#pragma once

#include <QEvent>
#include <cstdint>
#include <memory>

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
