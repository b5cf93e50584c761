#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

// An HTTP/1.0 server on 127.0.0.1 for one test: every request's head goes to the handler, which
// returns the whole answer (status line, headers and body). One connection at a time.
class TinyHttpServer {
public:
    using Handler = std::function<std::string(const std::string& requestHead)>;

    explicit TinyHttpServer(Handler handler) : handler_(std::move(handler)) {
        listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(listener_, 8);
        socklen_t length = sizeof address;
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { serve(); });
    }
    ~TinyHttpServer() {
        stop_ = true;
        thread_.join();
        ::close(listener_);
    }
    TinyHttpServer(const TinyHttpServer&) = delete;
    TinyHttpServer& operator=(const TinyHttpServer&) = delete;

    std::string Url(const std::string& path) const {
        return "http://127.0.0.1:" + std::to_string(port_) + path;
    }

    static std::string Answer(const std::string& status, const std::string& body,
                              const std::string& headers = "Content-Type: text/html\r\n") {
        return "HTTP/1.0 " + status + "\r\n" + headers +
               "Content-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" +
               body;
    }

private:
    void serve() {
        while (!stop_) {
            pollfd waiting{listener_, POLLIN, 0};
            if (::poll(&waiting, 1, 50) <= 0) continue;
            const int connection = ::accept(listener_, nullptr, nullptr);
            if (connection < 0) continue;
            std::string head;
            char buffer[1024];
            while (head.find("\r\n\r\n") == std::string::npos) {
                const ssize_t got = ::read(connection, buffer, sizeof buffer);
                if (got <= 0) break;
                head.append(buffer, static_cast<size_t>(got));
            }
            const std::string answer = handler_(head);
            for (size_t sent = 0; sent < answer.size();) {
                const ssize_t put = ::write(connection, answer.data() + sent, answer.size() - sent);
                if (put <= 0) break;
                sent += static_cast<size_t>(put);
            }
            ::shutdown(connection, SHUT_WR);
            while (::read(connection, buffer, sizeof buffer) > 0) {
            }
            ::close(connection);
        }
    }

    Handler handler_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};
