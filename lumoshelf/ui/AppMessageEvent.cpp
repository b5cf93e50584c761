#include "ui/AppMessageEvent.h"

#include <QCoreApplication>

AppMessageEvent::AppMessageEvent(unsigned message, std::intptr_t wParam, std::intptr_t lParam,
                                 std::unique_ptr<AppMessagePayload> payload)
    : QEvent(QEvent::Type(message)),
      wParam_(wParam),
      lParam_(lParam),
      payload_(std::move(payload)) {}

void postAppMessage(QObject* window, unsigned message, std::intptr_t wParam, std::intptr_t lParam,
                    std::unique_ptr<AppMessagePayload> payload) {
    QCoreApplication::postEvent(window,
                                new AppMessageEvent(message, wParam, lParam, std::move(payload)));
}

bool AppMessageTarget::post(unsigned message, std::intptr_t wParam, std::intptr_t lParam,
                            std::unique_ptr<AppMessagePayload> payload) {
    const std::lock_guard<std::mutex> lock(mutex_);
    if (!window_) return false;
    postAppMessage(window_, message, wParam, lParam, std::move(payload));
    return true;
}

void AppMessageTarget::detach() {
    const std::lock_guard<std::mutex> lock(mutex_);
    window_ = nullptr;
}
