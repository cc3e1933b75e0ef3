#include "server/HttpServer.h"

#include <boost/asio/dispatch.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/post.hpp>
#include <boost/asio/strand.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/core/tcp_stream.hpp>
#include <boost/beast/core/string.hpp>
#include <boost/beast/http/empty_body.hpp>
#include <boost/beast/http/error.hpp>
#include <boost/beast/http/parser.hpp>
#include <boost/beast/http/read.hpp>
#include <boost/beast/http/write.hpp>

#include <iostream>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

namespace ranking {

namespace net = boost::asio;
namespace beast = boost::beast;
using tcp = net::ip::tcp;
using beast::error_code;

namespace {

constexpr std::size_t kHeaderLimit = 16 * 1024;
// What is read and thrown away after a refusal before the connection is
// closed, so the client reads the answer rather than a reset.
constexpr std::size_t kDrainLimit = 1024 * 1024;
constexpr std::size_t kScratchSize = 16 * 1024;

bool mayHaveBody(http::status status)
{
    return http::to_status_class(status) != http::status_class::informational && status != http::status::no_content &&
           status != http::status::not_modified;
}

class Session : public std::enable_shared_from_this<Session> {
public:
    Session(tcp::socket socket, HttpHandler& handler, const HttpSettings& settings)
        : stream_(std::move(socket)), handler_(handler), settings_(settings)
    {
        error_code error;
        const auto peer = stream_.socket().remote_endpoint(error);
        remoteAddress_ = error ? std::string() : peer.address().to_string();
    }

    void start()
    {
        net::dispatch(stream_.get_executor(), [self = shared_from_this()] { self->read(); });
    }

private:
    void read()
    {
        parser_.emplace();
        parser_->header_limit(kHeaderLimit);
        parser_->body_limit(settings_.bodyLimit);
        stream_.expires_after(settings_.timeout);
        http::async_read_header(stream_, buffer_, *parser_,
                                [self = shared_from_this()](error_code error, std::size_t) { self->onHeader(error); });
    }

    // A client that asks to be told before it sends its body (curl does, past
    // 1 KiB) is told at once rather than left to wait for its own time-out.
    void onHeader(error_code error)
    {
        const auto& header = parser_->get();
        if (error || header.version() < 11 || !beast::iequals(header[http::field::expect], "100-continue")) {
            readBody(error);
            return;
        }
        continue_.emplace(http::status::continue_, header.version());
        http::async_write(stream_, *continue_, [self = shared_from_this()](error_code error, std::size_t) {
            self->readBody(error);
        });
    }

    void readBody(error_code error)
    {
        if (error) {
            onRead(error);
            return;
        }
        http::async_read(stream_, buffer_, *parser_,
                         [self = shared_from_this()](error_code error, std::size_t) { self->onRead(error); });
    }

    void onRead(error_code error)
    {
        if (error == http::error::body_limit) {
            refuse(http::status::payload_too_large);
            return;
        }
        if (error && error.category() == http::make_error_code(http::error::bad_target).category() &&
            error != http::error::end_of_stream && error != http::error::partial_message) {
            refuse(http::status::bad_request);
            return;
        }
        if (error) {
            close(); // the client left, or stalled past the time-out
            return;
        }
        stream_.expires_never();
        HttpRequest request{parser_->release(), remoteAddress_};
        keepAlive_ = request.message.keep_alive();
        version_ = request.message.version();
        head_ = request.message.method() == http::verb::head;
        handler_.handle(std::move(request), [self = shared_from_this()](HttpResponse response) {
            net::post(self->stream_.get_executor(),
                      [self, response = std::move(response)]() mutable { self->write(std::move(response)); });
        });
    }

    void refuse(http::status status)
    {
        const std::string target(parser_->get().target()); // empty when even the request line did not read
        keepAlive_ = false;
        version_ = 11;
        head_ = false;
        draining_ = true;
        write(handler_.refuse(target, status));
    }

    void write(HttpResponse response)
    {
        response.version(version_);
        response.keep_alive(keepAlive_ && response.keep_alive());
        if (mayHaveBody(response.result())) {
            response.content_length(response.body().size());
            if (head_) {
                response.body().clear();
            }
        } else {
            response.body().clear();
        }
        response_.emplace(std::move(response));
        stream_.expires_after(settings_.timeout);
        http::async_write(stream_, *response_, [self = shared_from_this()](error_code error, std::size_t) {
            self->onWritten(error);
        });
    }

    void onWritten(error_code error)
    {
        const bool again = !error && response_->keep_alive();
        response_.reset();
        if (again) {
            read();
        } else if (!error && draining_) {
            drain(0);
        } else {
            close();
        }
    }

    // Says no more, then reads what the client still sends until it closes.
    void drain(std::size_t drained)
    {
        if (drained == 0) {
            error_code ignored;
            stream_.socket().shutdown(tcp::socket::shutdown_send, ignored);
            stream_.expires_after(settings_.timeout);
            scratch_.resize(kScratchSize);
        }
        stream_.async_read_some(net::buffer(scratch_), [self = shared_from_this(), drained](error_code error,
                                                                                             std::size_t size) {
            if (error || drained + size > kDrainLimit) {
                self->close();
            } else {
                self->drain(drained + size);
            }
        });
    }

    void close()
    {
        error_code ignored;
        stream_.socket().shutdown(tcp::socket::shutdown_both, ignored);
        stream_.close();
    }

    beast::tcp_stream stream_;
    HttpHandler& handler_;
    const HttpSettings& settings_;
    std::string remoteAddress_;
    beast::flat_buffer buffer_;
    std::optional<http::request_parser<http::string_body>> parser_;
    std::optional<HttpResponse> response_;
    std::optional<http::response<http::empty_body>> continue_;
    std::vector<char> scratch_; // only while draining: most sessions never need it
    unsigned version_ = 11;
    bool keepAlive_ = false;
    bool head_ = false;
    bool draining_ = false;
};

} // namespace

HttpServer::HttpServer(const HttpSettings& settings)
    : settings_(settings), io_(std::max(1, settings.threads)), acceptor_(io_), acceptPause_(io_)
{
    // A name such as localhost is looked up; its first address is taken.
    const tcp::endpoint endpoint =
        tcp::resolver(io_)
            .resolve(settings_.host, std::to_string(settings_.port), tcp::resolver::passive | tcp::resolver::numeric_service)
            .begin()
            ->endpoint();
    acceptor_.open(endpoint.protocol());
    acceptor_.set_option(net::socket_base::reuse_address(true));
    acceptor_.bind(endpoint);
    acceptor_.listen(net::socket_base::max_listen_connections);
    acceptor_.non_blocking(true); // for the connections taken without waiting
}

HttpServer::~HttpServer() = default;

int HttpServer::port() const
{
    return acceptor_.local_endpoint().port();
}

void HttpServer::run(HttpHandler& handler)
{
    handler_ = &handler;
    accept();
    std::vector<std::thread> others;
    for (int i = 1; i < settings_.threads; ++i) {
        others.emplace_back([this] { io_.run(); });
    }
    io_.run();
    for (std::thread& thread : others) {
        thread.join();
    }
}

void HttpServer::stop()
{
    io_.stop();
}

void HttpServer::accept()
{
    acceptor_.async_accept(net::make_strand(io_), [this](error_code error, tcp::socket socket) {
        if (error == net::error::operation_aborted) {
            return;
        }
        if (error) {
            // Out of descriptors, most likely: wait for connections to end
            // rather than spin on the same error, and say so once a minute
            // at most, since it comes and goes as connections end.
            const auto now = std::chrono::steady_clock::now();
            if (!lastAcceptComplaint_ || now - *lastAcceptComplaint_ >= std::chrono::minutes(1)) {
                std::cerr << "quorvel-server: cannot take a connection: " << error.message()
                          << "; trying again every 100 ms\n";
                lastAcceptComplaint_ = now;
            }
            acceptPause_.expires_after(std::chrono::milliseconds(100));
            acceptPause_.async_wait([this](error_code) { accept(); });
            return;
        }
        std::make_shared<Session>(std::move(socket), *handler_, settings_)->start();
        // Every connection already waiting is taken now: one a turn, a
        // crowd connecting at once would wait behind the requests of those
        // already served.
        for (;;) {
            tcp::socket waiting(net::make_strand(io_));
            acceptor_.accept(waiting, error);
            if (error) {
                break;
            }
            std::make_shared<Session>(std::move(waiting), *handler_, settings_)->start();
        }
        accept();
    });
}

} // namespace ranking
