#pragma once

// The world ranking's HTTP API under /api/v1, with /healthz, /readyz,
// /metrics and the site's files: routes each request, answers at once what
// is in memory and hands what waits (a worker's check, the database, a file)
// to the blocking threads. Every answer is counted in the metrics and
// carries CORS headers for the origins allowed.

#include "server/HttpServer.h"
#include "server/HttpTarget.h"
#include "server/Metrics.h"
#include "server/RankingCache.h"
#include "server/RateLimit.h"
#include "server/Request.h"
#include "server/Site.h"
#include "server/Store.h"
#include "server/Workers.h"

#include <boost/asio/thread_pool.hpp>

#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace ranking {

struct ApiSettings {
    int playsPerMinute = 10;
    // Requests that may wait for the blocking threads at once; past that
    // the server answers 503 rather than hold more.
    int maxWaiting = 1024;
    // The client's address is the last of X-Forwarded-For (a proxy in front).
    bool trustForwarded = false;
    std::vector<std::string> allowedOrigins;
};

class Api : public HttpHandler {
public:
    Api(const ApiSettings& settings, Store& store, WorkerPool& workers, Metrics& metrics,
        boost::asio::thread_pool& blocking, std::optional<Site> site);

    void handle(HttpRequest request, Reply reply) override;
    HttpResponse refuse(const std::string& target, http::status status) override;

private:
    void dispatch(const std::shared_ptr<const HttpRequest>& request, const HttpTarget& target,
                  const std::string& route, const Reply& reply);
    void sendPlay(const std::shared_ptr<const HttpRequest>& request, const Reply& reply);
    HttpResponse verifyAndKeep(const SendRequest& send);
    void ranking(const std::string& zoneText, const std::string& query, const Reply& reply);
    void play(const std::string& id, const HttpRequest& request, const Reply& reply);
    HttpResponse ready();
    HttpResponse metricsText();
    static HttpResponse preflight();
    // Runs WORK on a blocking thread and replies with what it returns; a
    // database out of reach is answered 503.
    template <typename Work>
    void later(const Reply& reply, Work work);
    bool originAllowed(const HttpRequest& request) const;
    void allowOrigin(const HttpRequest& request, HttpResponse& response) const;
    std::string clientAddress(const HttpRequest& request) const;

    ApiSettings settings_;
    Store& store_;
    WorkerPool& workers_;
    Metrics& metrics_;
    boost::asio::thread_pool& blocking_;
    std::optional<Site> site_;
    RateLimit rateLimit_;
    std::atomic<int> waiting_{0};
    RankingCache cache_;
};

// The route a path is counted under in the metrics.
std::string routeName(const std::string& path);

} // namespace ranking
