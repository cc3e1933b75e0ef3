#pragma once

// The server's HTTP/1.1 transport, on Boost.Beast: a few threads serve every
// connection by its events, so a thousand keep-alive clients cost sockets
// and buffers, not a thread each. Whatever has to wait (a worker, the
// database, a file) is handed elsewhere by the handler and answered from there.

// Boost 1.74's Asio uses std::exchange without including <utility>.
#include <utility>

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/beast/http/message.hpp>
#include <boost/beast/http/string_body.hpp>

#include <chrono>
#include <functional>
#include <optional>
#include <string>

namespace ranking {

namespace http = boost::beast::http;
using HttpResponse = http::response<http::string_body>;

struct HttpRequest {
    http::request<http::string_body> message;
    std::string remoteAddress;
};

// Sends the answer to one request; called once, from any thread.
using Reply = std::function<void(HttpResponse)>;

class HttpHandler {
public:
    virtual ~HttpHandler() = default;
    // Runs on a transport thread, so it must not block.
    virtual void handle(HttpRequest request, Reply reply) = 0;
    // The answer to a request the transport could not take whole: STATUS is
    // 413 (its body is over the limit) or 400 (it is not HTTP). TARGET is
    // empty when even the request line did not read.
    virtual HttpResponse refuse(const std::string& target, http::status status) = 0;
};

struct HttpSettings {
    std::string host = "127.0.0.1";
    int port = 0; // 0: any free port
    int threads = 1;
    // To read a request, to write an answer, and to wait for the next request.
    std::chrono::seconds timeout{5};
    std::size_t bodyLimit = 65536;
};

class HttpServer {
public:
    // Binds and listens at once; throws std::system_error when it cannot.
    explicit HttpServer(const HttpSettings& settings);
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    int port() const;
    // Serves until stop(), on settings.threads threads, this one among them.
    void run(HttpHandler& handler);
    // From any thread. Connections still open are dropped.
    void stop();

private:
    void accept();

    HttpSettings settings_;
    boost::asio::io_context io_;
    boost::asio::ip::tcp::acceptor acceptor_;
    boost::asio::steady_timer acceptPause_;
    HttpHandler* handler_ = nullptr;
    // Only the accepting handler touches it, one at a time.
    std::optional<std::chrono::steady_clock::time_point> lastAcceptComplaint_;
};

} // namespace ranking
