// quorvel-server: the world ranking's HTTP API (and the web site, when
// given one) on one origin. Every play is verified in a worker process
// before it is kept; see "The world ranking server" in the README.

#include "plays/Play.h"
#include "server/Api.h"
#include "server/HttpServer.h"
#include "server/Metrics.h"
#include "server/Site.h"
#include "server/Store.h"
#include "server/Workers.h"

#include <boost/asio/thread_pool.hpp>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <iostream>
#include <regex>
#include <thread>
#include <sys/resource.h>
#include <unistd.h>

using namespace ranking;

namespace {

struct Options {
    std::string host = "127.0.0.1";
    int port = 8096;
    std::string database;
    std::string site;
    int playsPerMinute = 10;
    int workers = 2;
    int threads = 16; // waiting for the workers, the database, the site's files
    int ioThreads = static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 64u));
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
                 "         [--plays-per-minute N] [--workers N] [--threads N] [--io-threads N]\n"
                 "         [--io-timeout SECONDS] [--trust-forwarded] [--allow-origin ORIGIN]...\n"
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
        } else if (arg == "--io-threads") {
            options.ioThreads = positive(arg, value(), 64);
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

// A thousand clients need a descriptor each; the soft limit is often 1,024
// while the hard one allows far more.
void raiseOpenFileLimit()
{
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        setrlimit(RLIMIT_NOFILE, &limit);
    }
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

// The site's folder, checked now so a wrong one stops the start.
std::optional<Site> siteOf(const Options& options)
{
    if (options.site.empty()) {
        return std::nullopt;
    }
    try {
        return Site(options.site);
    } catch (const std::exception& error) {
        std::cerr << "quorvel-server: " << error.what() << "\n";
        std::exit(1);
    }
}

HttpServer listen(const Options& options)
{
    HttpSettings http;
    http.host = options.host;
    http.port = options.port;
    http.threads = options.ioThreads;
    http.timeout = std::chrono::seconds(options.ioTimeoutSeconds);
    http.bodyLimit = plays::kMaxBytes;
    try {
        return HttpServer(http);
    } catch (const std::exception& error) {
        std::cerr << "quorvel-server: cannot listen on " << options.host << ":" << options.port << ": "
                  << error.what() << "\n";
        std::exit(1);
    }
}

int serve(const Options& options)
{
    // Signals are taken by one thread; every other thread starts with them blocked.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    std::optional<Site> site = siteOf(options);
    raiseOpenFileLimit();
    HttpServer server = listen(options);

    WorkerPool workers(selfPath(), options.workers, WorkerLimits{});
    Store store(options.database);
    Metrics metrics;
    boost::asio::thread_pool blocking(static_cast<std::size_t>(options.threads));
    ApiSettings settings;
    settings.playsPerMinute = options.playsPerMinute;
    settings.maxWaiting = 64 * options.threads;
    settings.trustForwarded = options.trustForwarded;
    settings.allowedOrigins = options.allowedOrigins;
    Api api(settings, store, workers, metrics, blocking, std::move(site));

    std::thread stopper([&] {
        int signal = 0;
        sigwait(&stopSignals, &signal);
        server.stop();
    });
    stopper.detach();
    std::cout << "quorvel-server: listening on http://" << options.host << ":" << server.port() << "/" << std::endl;
    server.run(api);
    // Checks under way end before what they use goes; those not begun are dropped.
    blocking.stop();
    blocking.join();
    return 0;
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
    return serve(options);
}
