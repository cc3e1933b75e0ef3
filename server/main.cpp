// quorvel-server: the world ranking's HTTP API (and the web site, when
// given one) on one origin. Every play is verified in a worker process
// before it is kept; see "The world ranking server" in the README.

#include "plays/Play.h"
#include "server/Metrics.h"
#include "server/Request.h"
#include "server/Store.h"
#include "server/Workers.h"

#include <httplib.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <deque>
#include <filesystem>
#include <iostream>
#include <regex>
#include <thread>
#include <unistd.h>

using namespace ranking;
using nlohmann::json;

namespace {

constexpr int kMaxLimit = 100;
constexpr int kDefaultLimit = 20;
constexpr int kRetryAfterDownSeconds = 5;

struct Options {
    std::string host = "127.0.0.1";
    int port = 8096;
    std::string database;
    std::string site;
    int playsPerMinute = 10;
    int workers = 2;
    int threads = 64;
    int ioTimeoutSeconds = 5;
    bool trustForwarded = false;
    std::vector<std::string> allowedOrigins;
    std::optional<int> migrateTo;
    bool migrateOnly = false;
};

[[noreturn]] void usage(const std::string& problem)
{
    std::cerr << "quorvel-server: " << problem << "\n"
              << "usage: quorvel-server --listen HOST:PORT --database URL [--site DIR]\n"
                 "         [--plays-per-minute N] [--workers N] [--threads N] [--io-timeout SECONDS]\n"
                 "         [--trust-forwarded] [--allow-origin ORIGIN]...\n"
                 "       quorvel-server --database URL --migrate [VERSION]\n"
                 "The database URL may also come from QUORVEL_DATABASE_URL.\n";
    std::exit(2);
}

int positive(const std::string& option, const std::string& text, int high)
{
    try {
        std::size_t used = 0;
        const int value = std::stoi(text, &used);
        if (used == text.size() && value >= 1 && value <= high) {
            return value;
        }
    } catch (const std::exception&) {
    }
    usage(option + " takes a number from 1 to " + std::to_string(high) + ", not \"" + text + "\"");
}

Options parseOptions(int argc, char** argv)
{
    Options options;
    if (const char* url = std::getenv("QUORVEL_DATABASE_URL")) {
        options.database = url;
    }
    bool listened = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) {
                usage(arg + " needs a value");
            }
            return argv[++i];
        };
        if (arg == "--listen") {
            const std::string listen = value();
            const auto colon = listen.rfind(':');
            if (colon == std::string::npos || colon == 0) {
                usage("--listen takes HOST:PORT, not \"" + listen + "\"");
            }
            options.host = listen.substr(0, colon);
            if (options.host.size() > 2 && options.host.front() == '[' && options.host.back() == ']') {
                options.host = options.host.substr(1, options.host.size() - 2);
            }
            const std::string port = listen.substr(colon + 1);
            options.port = port == "0" ? 0 : positive("--listen's port", port, 65535);
            listened = true;
        } else if (arg == "--database") {
            options.database = value();
        } else if (arg == "--site") {
            options.site = value();
        } else if (arg == "--plays-per-minute") {
            options.playsPerMinute = positive(arg, value(), 1000000000);
        } else if (arg == "--workers") {
            options.workers = positive(arg, value(), 256);
        } else if (arg == "--threads") {
            options.threads = positive(arg, value(), 4096);
        } else if (arg == "--io-timeout") {
            options.ioTimeoutSeconds = positive(arg, value(), 3600);
        } else if (arg == "--trust-forwarded") {
            options.trustForwarded = true;
        } else if (arg == "--allow-origin") {
            static const std::regex origin(R"(https?://[^/\s]+)");
            const std::string allowed = value();
            if (!std::regex_match(allowed, origin)) {
                usage("--allow-origin takes an origin such as https://example.org, not \"" + allowed + "\"");
            }
            options.allowedOrigins.push_back(allowed);
        } else if (arg == "--migrate") {
            options.migrateOnly = true;
            if (i + 1 < argc && argv[i + 1][0] != '-') {
                options.migrateTo = positive(arg, argv[++i], latestSchemaVersion());
            }
        } else {
            usage("unknown argument \"" + arg + "\"");
        }
    }
    if (options.database.empty()) {
        usage("no database: give --database URL or set QUORVEL_DATABASE_URL");
    }
    if (!listened && !options.migrateOnly) {
        usage("no address: give --listen HOST:PORT");
    }
    return options;
}

// The plays each client address sent within the last minute.
class RateLimit {
public:
    explicit RateLimit(int perMinute) : perMinute_(perMinute) {}
    // 0 when ADDRESS may send now, else the seconds until it may.
    int take(const std::string& address)
    {
        const auto now = std::chrono::steady_clock::now();
        std::lock_guard lock(mutex_);
        if (sent_.size() > 100000) {
            std::erase_if(sent_, [&](const auto& item) { return now - item.second.back() > kWindow; });
        }
        auto& times = sent_[address];
        while (!times.empty() && now - times.front() >= kWindow) {
            times.pop_front();
        }
        if (static_cast<int>(times.size()) >= perMinute_) {
            const auto wait = std::chrono::ceil<std::chrono::seconds>(times.front() + kWindow - now);
            return std::max(1, static_cast<int>(wait.count()));
        }
        times.push_back(now);
        return 0;
    }

private:
    static constexpr std::chrono::seconds kWindow{60};
    int perMinute_;
    std::mutex mutex_;
    std::unordered_map<std::string, std::deque<std::chrono::steady_clock::time_point>> sent_;
};

// The top of each zone, read again at most once a second and whenever a
// play of that zone was kept.
constexpr std::size_t kKeepAliveRequests = 10000;

class RankingCache {
public:
    std::optional<std::vector<RankingRow>> get(int zone)
    {
        std::lock_guard lock(mutex_);
        const Slot& slot = slots_[zone];
        if (slot.rows && std::chrono::steady_clock::now() - slot.read < std::chrono::seconds(1)) {
            return slot.rows;
        }
        return std::nullopt;
    }
    void put(int zone, std::vector<RankingRow> rows, long generation)
    {
        std::lock_guard lock(mutex_);
        if (generation == slots_[zone].generation) {
            slots_[zone].rows = std::move(rows);
            slots_[zone].read = std::chrono::steady_clock::now();
        }
    }
    long generation(int zone)
    {
        std::lock_guard lock(mutex_);
        return slots_[zone].generation;
    }
    void changed()
    {
        std::lock_guard lock(mutex_);
        for (Slot& slot : slots_) {
            slot.rows.reset();
            ++slot.generation;
        }
    }

private:
    struct Slot {
        std::optional<std::vector<RankingRow>> rows;
        std::chrono::steady_clock::time_point read;
        long generation = 0;
    };
    std::mutex mutex_;
    Slot slots_[3];
};

void sendJson(httplib::Response& res, int status, const json& body)
{
    res.status = status;
    res.set_content(body.dump(-1, ' ', false, json::error_handler_t::replace), "application/json");
}

void sendError(httplib::Response& res, int status, const std::string& reason)
{
    sendJson(res, status, {{"error", reason}});
}

void sendUnavailable(httplib::Response& res)
{
    res.set_header("Retry-After", std::to_string(kRetryAfterDownSeconds));
    sendError(res, 503, "the database is not available; try again later");
}

std::string routeOf(const httplib::Request& req)
{
    const std::string& path = req.path;
    if (path == "/api/v1/plays") {
        return "/api/v1/plays";
    }
    if (path.rfind("/api/v1/plays/", 0) == 0) {
        return "/api/v1/plays/{id}";
    }
    if (path.rfind("/api/v1/rankings/", 0) == 0) {
        return "/api/v1/rankings/{zone}";
    }
    if (path == "/healthz" || path == "/readyz" || path == "/metrics") {
        return path;
    }
    if (path.rfind("/api/", 0) == 0) {
        return "/api/other";
    }
    return "site";
}

std::string selfPath()
{
    std::error_code error;
    const auto path = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) {
        std::cerr << "quorvel-server: cannot find its own program in /proc/self/exe: " << error.message() << "\n";
        std::exit(1);
    }
    return path.string();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::string(argv[1]) == "--worker") {
        WorkerLimits limits;
        limits.cpuSeconds = std::atoi(argv[2]);
        limits.memoryBytes = std::atol(argv[3]) * 1024 * 1024;
        return workerMain(limits);
    }
    const Options options = parseOptions(argc, argv);

    try {
        const int version = migrate(options.database, options.migrateTo);
        if (options.migrateOnly) {
            std::cout << "quorvel-server: the database is at schema version " << version << "\n";
            return 0;
        }
    } catch (const std::exception& error) {
        std::cerr << "quorvel-server: cannot bring the database's schema up to date: " << error.what() << "\n";
        return 1;
    }

    // Signals are taken by one thread; every other thread starts with them blocked.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    WorkerPool workers(selfPath(), options.workers, WorkerLimits{});
    Store store(options.database);
    Metrics metrics;
    RateLimit rateLimit(options.playsPerMinute);
    RankingCache cache;

    httplib::Server server;
    const int threads = options.threads;
    server.new_task_queue = [threads] { return new httplib::ThreadPool(static_cast<std::size_t>(threads)); };
    server.set_payload_max_length(plays::kMaxBytes);
    server.set_read_timeout(options.ioTimeoutSeconds, 0);
    server.set_write_timeout(options.ioTimeoutSeconds, 0);
    server.set_keep_alive_timeout(options.ioTimeoutSeconds);
    // A client keeps its connection (and its thread) for many requests:
    // closing it every few requests makes a thousand readers queue for
    // threads while they reconnect.
    server.set_keep_alive_max_count(kKeepAliveRequests);
    server.set_logger([&](const httplib::Request& req, const httplib::Response& res) {
        metrics.request(routeOf(req), res.status);
    });
    server.set_exception_handler([](const httplib::Request&, httplib::Response& res, std::exception_ptr error) {
        std::string what = "unknown";
        try {
            std::rethrow_exception(error);
        } catch (const std::exception& e) {
            what = e.what();
        } catch (...) {
        }
        std::cerr << "quorvel-server: a request failed: " << what << "\n";
        sendError(res, 500, "the server failed to answer");
    });
    server.set_error_handler([](const httplib::Request& req, httplib::Response& res) {
        if (res.body.empty() && req.path.rfind("/api/", 0) == 0) {
            const char* reason = res.status == 413   ? "the body is over 65536 bytes"
                                 : res.status == 404 ? "no such resource"
                                 : res.status == 405 ? "method not allowed"
                                                     : "the request was refused";
            sendError(res, res.status, reason);
        }
    });

    // A page served elsewhere (its config.json names this server) may call
    // the API from the origins allowed, and from no other.
    auto allowedOrigin = [&](const httplib::Request& req) {
        const std::string origin = req.get_header_value("Origin");
        const auto& allowed = options.allowedOrigins;
        return !origin.empty() && std::find(allowed.begin(), allowed.end(), origin) != allowed.end();
    };
    server.set_pre_routing_handler([&](const httplib::Request& req, httplib::Response& res) {
        if (req.method != "OPTIONS" || !allowedOrigin(req)) {
            return httplib::Server::HandlerResponse::Unhandled;
        }
        res.status = 204;
        res.set_header("Access-Control-Allow-Methods", "GET, POST");
        res.set_header("Access-Control-Allow-Headers", "Content-Type");
        res.set_header("Access-Control-Max-Age", "600");
        return httplib::Server::HandlerResponse::Handled;
    });
    server.set_post_routing_handler([&](const httplib::Request& req, httplib::Response& res) {
        if (options.allowedOrigins.empty()) {
            return;
        }
        res.set_header("Vary", "Origin");
        if (allowedOrigin(req)) {
            res.set_header("Access-Control-Allow-Origin", req.get_header_value("Origin"));
            res.set_header("Access-Control-Expose-Headers", "Retry-After");
        }
    });

    auto clientAddress = [&](const httplib::Request& req) {
        if (options.trustForwarded && req.has_header("X-Forwarded-For")) {
            const std::string forwarded = req.get_header_value("X-Forwarded-For");
            const auto comma = forwarded.rfind(',');
            std::string last = comma == std::string::npos ? forwarded : forwarded.substr(comma + 1);
            last.erase(0, last.find_first_not_of(' '));
            return last;
        }
        return req.remote_addr;
    };

    server.Post("/api/v1/plays", [&](const httplib::Request& req, httplib::Response& res) {
        res.set_header("Cache-Control", "no-store");
        if (req.body.size() > plays::kMaxBytes) {
            sendError(res, 413, "the body is over 65536 bytes");
            return;
        }
        SendRequest send;
        try {
            send = parseSendRequest(req.body);
        } catch (const BadRequest& error) {
            sendError(res, 400, error.what());
            return;
        }
        if (const int wait = rateLimit.take(clientAddress(req)); wait > 0) {
            res.set_header("Retry-After", std::to_string(wait));
            sendError(res, 429, "more than " + std::to_string(options.playsPerMinute) +
                                    " plays a minute from this address; try again in " + std::to_string(wait) +
                                    " s");
            return;
        }
        const auto started = std::chrono::steady_clock::now();
        const Check check = workers.check(send.play);
        metrics.verification(std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
        if (!check.valid) {
            metrics.refused(check.category);
            sendError(res, 422, check.reason);
            return;
        }
        try {
            const Entry entry = store.keep(sha256Hex(send.play), send.player, send.name, check.zone, check.score,
                                           send.play);
            // A new name shows in every zone the player is ranked in.
            cache.changed();
            metrics.accepted();
            sendJson(res, 201, {{"id", entry.id}, {"zone", entry.zone}, {"score", entry.score}, {"rank", entry.rank}});
        } catch (const Unavailable&) {
            sendUnavailable(res);
        }
    });

    server.Get(R"(/api/v1/rankings/([^/]*))", [&](const httplib::Request& req, httplib::Response& res) {
        const std::string zoneText = req.matches[1];
        if (zoneText != "0" && zoneText != "1" && zoneText != "2") {
            sendError(res, 404, "no zone \"" + zoneText.substr(0, 20) + "\"; the zones are 0, 1 and 2");
            return;
        }
        const int zone = zoneText[0] - '0';
        int limit = kDefaultLimit;
        if (req.has_param("limit")) {
            const std::string text = req.get_param_value("limit");
            const bool digits = !text.empty() && text.size() <= 3 && text.find_first_not_of("0123456789") == std::string::npos;
            limit = digits ? std::stoi(text) : 0;
            if (limit < 1 || limit > kMaxLimit) {
                sendError(res, 400, "limit must be a number from 1 to 100");
                return;
            }
        }
        std::optional<std::vector<RankingRow>> rows = cache.get(zone);
        if (!rows) {
            try {
                const long generation = cache.generation(zone);
                rows = store.ranking(zone, kMaxLimit);
                cache.put(zone, *rows, generation);
            } catch (const Unavailable&) {
                sendUnavailable(res);
                return;
            }
        }
        json list = json::array();
        for (const RankingRow& row : *rows) {
            if (static_cast<int>(list.size()) >= limit) {
                break;
            }
            list.push_back({{"rank", row.rank}, {"name", row.name}, {"score", row.score}, {"id", row.id},
                            {"playedAt", row.playedAt}});
        }
        res.set_header("Cache-Control", "public, max-age=1");
        sendJson(res, 200, list);
    });

    server.Get(R"(/api/v1/plays/([^/]*))", [&](const httplib::Request& req, httplib::Response& res) {
        static const std::regex hex("[0-9a-f]{64}");
        const std::string id = req.matches[1];
        if (!std::regex_match(id, hex)) {
            sendError(res, 404, "no play has that id; an id is 64 hexadecimal digits");
            return;
        }
        const std::string etag = "\"" + id + "\"";
        if (req.get_header_value("If-None-Match") == etag) {
            res.status = 304;
            res.set_header("ETag", etag);
            return;
        }
        try {
            const auto text = store.play(id);
            if (!text) {
                sendError(res, 404, "no play has that id");
                return;
            }
            res.set_header("Cache-Control", "public, max-age=31536000, immutable");
            res.set_header("ETag", etag);
            res.set_content(*text, "text/plain; charset=utf-8");
        } catch (const Unavailable&) {
            sendUnavailable(res);
        }
    });

    server.Get("/healthz", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("ok\n", "text/plain");
    });
    server.Get("/readyz", [&](const httplib::Request&, httplib::Response& res) {
        try {
            store.ping();
            res.set_content("ready\n", "text/plain");
        } catch (const std::exception&) {
            res.status = 503;
            res.set_header("Retry-After", std::to_string(kRetryAfterDownSeconds));
            res.set_content("the database does not answer\n", "text/plain");
        }
    });
    server.Get("/metrics", [&](const httplib::Request&, httplib::Response& res) {
        const std::string gauges =
            "# HELP quorvel_verifications_in_progress Plays being verified now.\n"
            "# TYPE quorvel_verifications_in_progress gauge\n"
            "quorvel_verifications_in_progress " + std::to_string(workers.busy()) + "\n"
            "# HELP quorvel_worker_restarts_total Workers started again after a fault.\n"
            "# TYPE quorvel_worker_restarts_total counter\n"
            "quorvel_worker_restarts_total " + std::to_string(workers.restarts()) + "\n";
        res.set_content(metrics.text(gauges), "text/plain; version=0.0.4");
    });

    if (!options.site.empty()) {
        std::error_code error;
        if (!std::filesystem::is_directory(options.site, error)) {
            std::cerr << "quorvel-server: cannot serve the site " << options.site << ": "
                      << (error ? error.message() : "not a folder") << "\n";
            return 1;
        }
        if (::access(options.site.c_str(), R_OK | X_OK) != 0) {
            std::cerr << "quorvel-server: cannot serve the site " << options.site << ": " << std::strerror(errno)
                      << "\n";
            return 1;
        }
        server.set_mount_point("/", options.site);
        // The page learns from its own files that the API is at their origin,
        // without asking an API a static host would answer with 404.
        server.set_file_request_handler([](const httplib::Request&, httplib::Response& res) {
            res.set_header("X-Quorvel-Ranking", "/api/v1");
        });
        server.set_file_extension_and_mimetype_mapping("wasm", "application/wasm");
        server.set_file_extension_and_mimetype_mapping("webmanifest", "application/manifest+json");
    }

    int port = options.port;
    if (port == 0) {
        port = server.bind_to_any_port(options.host);
    } else if (!server.bind_to_port(options.host, port)) {
        port = -1;
    }
    if (port <= 0) {
        std::cerr << "quorvel-server: cannot listen on " << options.host << ":" << options.port << ": "
                  << std::strerror(errno) << "\n";
        return 1;
    }
    std::thread stopper([&] {
        int signal = 0;
        sigwait(&stopSignals, &signal);
        server.stop();
    });
    stopper.detach();
    std::cout << "quorvel-server: listening on http://" << options.host << ":" << port << "/" << std::endl;
    server.listen_after_bind();
    return 0;
}
