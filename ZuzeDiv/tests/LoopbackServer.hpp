#pragma once
// A small HTTP/1.1 server on 127.0.0.1 for tests: it answers each request through a handler and
// records what it received. A handler that answers nothing keeps the connection open, silent,
// until the client gives up or the server stops.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <strings.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

class LoopbackServer {
public:
    struct Request {
        std::string method;
        std::string target;
        std::vector<std::pair<std::string, std::string>> headers;
        std::string body;

        std::optional<std::string> header(const std::string& name) const {
            for (const auto& [key, value] : headers)
                if (::strcasecmp(key.c_str(), name.c_str()) == 0) return value;
            return std::nullopt;
        }
    };
    /// The whole answer (status line, headers, body), or nothing to stay silent.
    using Handler = std::function<std::optional<std::string>(const Request&)>;

    static std::string answer(int status, const std::string& reason, const std::string& body) {
        return "HTTP/1.1 " + std::to_string(status) + " " + reason + "\r\nContent-Type: text/plain\r\nContent-Length: " +
               std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
    }

    explicit LoopbackServer(Handler handler) : handler_(std::move(handler)) {
        listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            ::listen(listener_, 16) != 0 || ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
            throw std::runtime_error("no loopback socket");
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { serve(); });
    }

    ~LoopbackServer() {
        stopped_ = true;
        thread_.join();
        ::close(listener_);
    }

    int port() const { return port_; }
    std::string base() const { return "http://127.0.0.1:" + std::to_string(port_); }
    std::vector<Request> requests() const {
        std::lock_guard lock(mutex_);
        return requests_;
    }

private:
    // Waits up to 50 ms for the socket to become readable; false when the server stops.
    bool readable(int socket) {
        for (;;) {
            if (stopped_) return false;
            pollfd entry{socket, POLLIN, 0};
            if (::poll(&entry, 1, 50) > 0) return true;
        }
    }

    void serve() {
        while (readable(listener_)) {
            int connection = ::accept(listener_, nullptr, nullptr);
            if (connection < 0) continue;
            handle(connection);
            ::close(connection);
        }
    }

    void handle(int connection) {
        std::string received;
        char buffer[4096];
        std::size_t headerEnd;
        while ((headerEnd = received.find("\r\n\r\n")) == std::string::npos) {
            if (!readable(connection)) return;
            auto n = ::recv(connection, buffer, sizeof buffer, 0);
            if (n <= 0) return;
            received.append(buffer, static_cast<std::size_t>(n));
        }
        Request request;
        std::string head = received.substr(0, headerEnd);
        std::size_t lineEnd = head.find("\r\n");
        std::string requestLine = head.substr(0, lineEnd);
        auto firstSpace = requestLine.find(' ');
        auto secondSpace = requestLine.find(' ', firstSpace + 1);
        request.method = requestLine.substr(0, firstSpace);
        request.target = requestLine.substr(firstSpace + 1, secondSpace - firstSpace - 1);
        while (lineEnd != std::string::npos && lineEnd < head.size()) {
            auto next = head.find("\r\n", lineEnd + 2);
            std::string line = head.substr(lineEnd + 2, next == std::string::npos ? std::string::npos : next - lineEnd - 2);
            auto colon = line.find(':');
            if (colon != std::string::npos) {
                auto value = line.substr(colon + 1);
                value.erase(0, value.find_first_not_of(' '));
                request.headers.emplace_back(line.substr(0, colon), value);
            }
            lineEnd = next;
        }
        std::size_t contentLength = 0;
        if (auto length = request.header("Content-Length")) contentLength = std::stoul(*length);
        request.body = received.substr(headerEnd + 4);
        while (request.body.size() < contentLength) {
            if (!readable(connection)) return;
            auto n = ::recv(connection, buffer, sizeof buffer, 0);
            if (n <= 0) return;
            request.body.append(buffer, static_cast<std::size_t>(n));
        }
        {
            std::lock_guard lock(mutex_);
            requests_.push_back(request);
        }
        auto response = handler_(request);
        if (!response) {
            // Silent: wait until the client hangs up or the server stops.
            while (readable(connection) && ::recv(connection, buffer, sizeof buffer, 0) > 0) {
            }
            return;
        }
        ::send(connection, response->data(), response->size(), MSG_NOSIGNAL);
    }

    Handler handler_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stopped_ = false;
    std::thread thread_;
    mutable std::mutex mutex_;
    std::vector<Request> requests_;
};
