#include "server/Api.h"

#include "plays/Play.h"
#include "server/HttpTarget.h"
#include "server/Request.h"

#include <boost/asio/post.hpp>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <iostream>

namespace ranking {

using nlohmann::json;

namespace {

constexpr int kMaxLimit = 100;
constexpr int kDefaultLimit = 20;
constexpr int kRetryAfterDownSeconds = 5;
constexpr std::string_view kPlays = "/api/v1/plays";
constexpr std::string_view kPlayPrefix = "/api/v1/plays/";
constexpr std::string_view kRankingPrefix = "/api/v1/rankings/";

HttpResponse textResponse(http::status status, std::string text, std::string_view type = "text/plain; charset=utf-8")
{
    HttpResponse response{status, 11};
    response.set(http::field::content_type, type);
    response.body() = std::move(text);
    return response;
}

HttpResponse jsonResponse(http::status status, const json& body)
{
    return textResponse(status, body.dump(-1, ' ', false, json::error_handler_t::replace), "application/json");
}

HttpResponse errorResponse(http::status status, const std::string& reason)
{
    return jsonResponse(status, {{"error", reason}});
}

HttpResponse unavailable()
{
    HttpResponse response = errorResponse(http::status::service_unavailable,
                                          "the database is not available; try again later");
    response.set(http::field::retry_after, std::to_string(kRetryAfterDownSeconds));
    return response;
}

HttpResponse noStore(HttpResponse response)
{
    response.set(http::field::cache_control, "no-store");
    return response;
}

HttpResponse methodNotAllowed()
{
    return errorResponse(http::status::method_not_allowed, "method not allowed");
}

bool isRead(const HttpRequest& request)
{
    const http::verb method = request.message.method();
    return method == http::verb::get || method == http::verb::head;
}

std::string writeRanking(const std::vector<RankingRow>& rows, int limit)
{
    json list = json::array();
    for (const RankingRow& row : rows) {
        if (static_cast<int>(list.size()) >= limit) {
            break;
        }
        list.push_back({{"rank", row.rank}, {"name", row.name}, {"score", row.score}, {"id", row.id},
                        {"playedAt", row.playedAt}});
    }
    return list.dump(-1, ' ', false, json::error_handler_t::replace);
}

HttpResponse rankingResponse(std::string body)
{
    HttpResponse response = textResponse(http::status::ok, std::move(body), "application/json");
    response.set(http::field::cache_control, "public, max-age=1");
    return response;
}

// The limit a query asks for: the default when it names none, nullopt when
// it is not a number from 1 to kMaxLimit.
std::optional<int> limitOf(const std::string& query)
{
    const auto text = queryValue(query, "limit");
    if (!text) {
        return kDefaultLimit;
    }
    const bool digits =
        !text->empty() && text->size() <= 3 && text->find_first_not_of("0123456789") == std::string::npos;
    const int limit = digits ? std::stoi(*text) : 0;
    if (limit < 1 || limit > kMaxLimit) {
        return std::nullopt;
    }
    return limit;
}

} // namespace

std::string routeName(const std::string& path)
{
    if (path == kPlays) {
        return std::string(kPlays);
    }
    if (path.starts_with(kPlayPrefix)) {
        return "/api/v1/plays/{id}";
    }
    if (path.starts_with(kRankingPrefix)) {
        return "/api/v1/rankings/{zone}";
    }
    if (path == "/healthz" || path == "/readyz" || path == "/metrics") {
        return path;
    }
    if (path.starts_with("/api/")) {
        return "/api/other";
    }
    return "site";
}

Api::Api(const ApiSettings& settings, Store& store, WorkerPool& workers, Metrics& metrics,
         boost::asio::thread_pool& blocking, std::optional<Site> site)
    : settings_(settings), store_(store), workers_(workers), metrics_(metrics), blocking_(blocking),
      site_(std::move(site)), rateLimit_(settings.playsPerMinute), cache_(writeRanking)
{
}

void Api::handle(HttpRequest request, Reply reply)
{
    auto shared = std::make_shared<const HttpRequest>(std::move(request));
    const HttpTarget target = splitTarget(shared->message.target());
    std::string route = routeName(target.path);
    Reply answer = [this, shared, route, reply](HttpResponse response) {
        allowOrigin(*shared, response);
        metrics_.request(route, response.result_int());
        reply(std::move(response));
    };
    try {
        dispatch(shared, target, route, answer);
    } catch (const std::exception& error) {
        std::cerr << "quorvel-server: a request failed: " << error.what() << "\n";
        answer(errorResponse(http::status::internal_server_error, "the server failed to answer"));
    }
}

void Api::dispatch(const std::shared_ptr<const HttpRequest>& request, const HttpTarget& target,
                   const std::string& route, const Reply& reply)
{
    const std::string& path = target.path;
    const http::verb method = request->message.method();
    if (method == http::verb::options && originAllowed(*request)) {
        reply(preflight());
    } else if (route == kPlays) {
        method == http::verb::post ? sendPlay(request, reply) : reply(methodNotAllowed());
    } else if (route == "site") {
        if (!site_) {
            reply(textResponse(http::status::not_found, "not found\n"));
        } else if (!isRead(*request)) {
            reply(methodNotAllowed());
        } else {
            later(reply, [this, path] { return site_->answer(path); });
        }
    } else if (route == "/api/other") {
        reply(errorResponse(http::status::not_found, "no such resource"));
    } else if (!isRead(*request)) {
        reply(methodNotAllowed());
    } else if (path.starts_with(kPlayPrefix)) {
        play(path.substr(kPlayPrefix.size()), *request, reply);
    } else if (path.starts_with(kRankingPrefix)) {
        ranking(path.substr(kRankingPrefix.size()), target.query, reply);
    } else if (path == "/healthz") {
        reply(textResponse(http::status::ok, "ok\n"));
    } else if (path == "/readyz") {
        later(reply, [this] { return ready(); });
    } else {
        reply(metricsText());
    }
}

template <typename Work>
void Api::later(const Reply& reply, Work work)
{
    // A database that answers slowly must not make the server hold a
    // request for every client that asks meanwhile.
    if (waiting_.fetch_add(1) >= settings_.maxWaiting) {
        waiting_.fetch_sub(1);
        HttpResponse busy = errorResponse(http::status::service_unavailable, "the server is busy; try again later");
        busy.set(http::field::retry_after, "1");
        reply(std::move(busy));
        return;
    }
    boost::asio::post(blocking_, [this, reply, work = std::move(work)]() mutable {
        HttpResponse response;
        try {
            response = work();
        } catch (const Unavailable&) {
            response = unavailable();
        } catch (const std::exception& error) {
            std::cerr << "quorvel-server: a request failed: " << error.what() << "\n";
            response = errorResponse(http::status::internal_server_error, "the server failed to answer");
        }
        waiting_.fetch_sub(1);
        reply(std::move(response));
    });
}

void Api::sendPlay(const std::shared_ptr<const HttpRequest>& request, const Reply& reply)
{
    const std::string& body = request->message.body();
    SendRequest send;
    try {
        send = parseSendRequest(body);
    } catch (const BadRequest& error) {
        reply(noStore(errorResponse(http::status::bad_request, error.what())));
        return;
    }
    if (const int wait = rateLimit_.take(clientAddress(*request)); wait > 0) {
        HttpResponse refused = errorResponse(http::status::too_many_requests,
                                             "more than " + std::to_string(rateLimit_.perMinute()) +
                                                 " plays a minute from this address; try again in " +
                                                 std::to_string(wait) + " s");
        refused.set(http::field::retry_after, std::to_string(wait));
        reply(noStore(std::move(refused)));
        return;
    }
    later(reply, [this, send = std::move(send)] { return noStore(verifyAndKeep(send)); });
}

// A 201 only once the entry is committed: keep() returns after the commit.
HttpResponse Api::verifyAndKeep(const SendRequest& send)
{
    const auto started = std::chrono::steady_clock::now();
    const Check check = workers_.check(send.play);
    metrics_.verification(std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
    if (!check.valid) {
        metrics_.refused(check.category);
        return errorResponse(http::status::unprocessable_entity, check.reason);
    }
    const Entry entry =
        store_.keep(sha256Hex(send.play), send.player, send.name, check.zone, check.score, send.play);
    cache_.changed();
    metrics_.accepted();
    return jsonResponse(http::status::created,
                        {{"id", entry.id}, {"zone", entry.zone}, {"score", entry.score}, {"rank", entry.rank}});
}

void Api::ranking(const std::string& zoneText, const std::string& query, const Reply& reply)
{
    if (zoneText != "0" && zoneText != "1" && zoneText != "2") {
        reply(errorResponse(http::status::not_found,
                            "no zone \"" + zoneText.substr(0, 20) + "\"; the zones are 0, 1 and 2"));
        return;
    }
    const int zone = zoneText[0] - '0';
    const std::optional<int> limit = limitOf(query);
    if (!limit) {
        reply(errorResponse(http::status::bad_request, "limit must be a number from 1 to 100"));
        return;
    }
    if (auto body = cache_.body(zone, *limit)) {
        reply(rankingResponse(std::move(*body)));
        return;
    }
    later(reply, [this, zone, limit = *limit] {
        const long generation = cache_.generation(zone);
        std::vector<RankingRow> rows = store_.ranking(zone, kMaxLimit);
        cache_.put(zone, rows, generation);
        auto body = cache_.body(zone, limit);
        return rankingResponse(body ? std::move(*body) : writeRanking(rows, limit));
    });
}

void Api::play(const std::string& id, const HttpRequest& request, const Reply& reply)
{
    if (id.size() != 64 || id.find_first_not_of("0123456789abcdef") != std::string::npos) {
        reply(errorResponse(http::status::not_found, "no play has that id; an id is 64 hexadecimal digits"));
        return;
    }
    const std::string etag = "\"" + id + "\"";
    if (request.message[http::field::if_none_match] == etag) {
        HttpResponse unchanged{http::status::not_modified, 11};
        unchanged.set(http::field::etag, etag);
        reply(std::move(unchanged));
        return;
    }
    later(reply, [this, id, etag] {
        const auto text = store_.play(id);
        if (!text) {
            return errorResponse(http::status::not_found, "no play has that id");
        }
        HttpResponse response = textResponse(http::status::ok, *text);
        response.set(http::field::cache_control, "public, max-age=31536000, immutable");
        response.set(http::field::etag, etag);
        return response;
    });
}

HttpResponse Api::ready()
{
    try {
        store_.ping();
        return textResponse(http::status::ok, "ready\n");
    } catch (const std::exception&) {
        HttpResponse response = textResponse(http::status::service_unavailable, "the database does not answer\n");
        response.set(http::field::retry_after, std::to_string(kRetryAfterDownSeconds));
        return response;
    }
}

HttpResponse Api::metricsText()
{
    const std::string gauges =
        "# HELP quorvel_verifications_in_progress Plays being verified now.\n"
        "# TYPE quorvel_verifications_in_progress gauge\n"
        "quorvel_verifications_in_progress " + std::to_string(workers_.busy()) + "\n"
        "# HELP quorvel_worker_restarts_total Workers started again after a fault.\n"
        "# TYPE quorvel_worker_restarts_total counter\n"
        "quorvel_worker_restarts_total " + std::to_string(workers_.restarts()) + "\n"
        "# HELP quorvel_requests_waiting Requests waiting for a worker, the database or a file, or being served by them.\n"
        "# TYPE quorvel_requests_waiting gauge\n"
        "quorvel_requests_waiting " + std::to_string(waiting_.load()) + "\n";
    return textResponse(http::status::ok, metrics_.text(gauges), "text/plain; version=0.0.4");
}

HttpResponse Api::refuse(const std::string& target, http::status status)
{
    const std::string path = splitTarget(target).path;
    const bool tooLarge = status == http::status::payload_too_large;
    HttpResponse response =
        !path.starts_with("/api/") ? textResponse(status, tooLarge ? "too large\n" : "bad request\n")
        : tooLarge ? errorResponse(status, "the body is over " + std::to_string(plays::kMaxBytes) + " bytes")
                   : errorResponse(status, "the request is not HTTP as this server reads it");
    metrics_.request(routeName(path), response.result_int());
    return response;
}

// A page served elsewhere (its config.json names this server) may call the
// API from the origins allowed, and from no other.
bool Api::originAllowed(const HttpRequest& request) const
{
    const auto origin = request.message[http::field::origin];
    const auto& allowed = settings_.allowedOrigins;
    return !origin.empty() && std::find(allowed.begin(), allowed.end(), origin) != allowed.end();
}

HttpResponse Api::preflight()
{
    HttpResponse response{http::status::no_content, 11};
    response.set(http::field::access_control_allow_methods, "GET, POST");
    response.set(http::field::access_control_allow_headers, "Content-Type");
    response.set(http::field::access_control_max_age, "600");
    return response;
}

void Api::allowOrigin(const HttpRequest& request, HttpResponse& response) const
{
    if (settings_.allowedOrigins.empty()) {
        return;
    }
    response.set(http::field::vary, "Origin");
    if (originAllowed(request)) {
        response.set(http::field::access_control_allow_origin, request.message[http::field::origin]);
        response.set(http::field::access_control_expose_headers, "Retry-After");
    }
}

std::string Api::clientAddress(const HttpRequest& request) const
{
    const auto forwarded = request.message["X-Forwarded-For"];
    if (!settings_.trustForwarded || forwarded.empty()) {
        return request.remoteAddress;
    }
    // The proxy appends the address it saw last; what comes before is the client's word.
    const auto comma = forwarded.rfind(',');
    std::string last(comma == std::string_view::npos ? forwarded : forwarded.substr(comma + 1));
    last.erase(0, last.find_first_not_of(' '));
    return last;
}

} // namespace ranking
