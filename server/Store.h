#pragma once

// The ranking's store in PostgreSQL: players (a hash of their key and the
// name they last sent), plays (their text, keyed by a hash of it) and each
// player's best play of each zone, which the rankings read. Every statement
// takes parameters. A database that cannot be reached throws Unavailable.

#include <pqxx/connection>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>


namespace ranking {

class Unavailable : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct Entry {
    std::string id;
    int zone = 0;
    int score = 0;
    long rank = 0;
};

struct RankingRow {
    long rank = 0;
    std::string name;
    int score = 0;
    std::string id;
    std::string playedAt; // ISO 8601, UTC
};

// The schema's versions, each applied once, in order, in a transaction of
// its own; the table schema_migrations records those applied.
int latestSchemaVersion();
// Applies the migrations up to VERSION (all when nullopt); returns the
// version the database is at.
int migrate(const std::string& url, std::optional<int> version = std::nullopt);

class Store {
public:
    explicit Store(std::string url, int maxConnections = 16);
    ~Store();

    // Keeps the play (or finds it kept before) and returns its entry, once
    // committed. ID is the hash of TEXT; SCORE is what it verified to.
    Entry keep(const std::string& id, const std::string& playerKey, const std::string& name, int zone, int score,
               const std::string& text);
    std::vector<RankingRow> ranking(int zone, int limit);
    std::optional<std::string> play(const std::string& id);
    void ping();

private:
    template <typename F>
    auto withConnection(F&& work);

    std::string url_;
    int maxConnections_;
    int open_ = 0;
    std::vector<std::unique_ptr<pqxx::connection>> idle_;
    std::mutex mutex_;
    std::condition_variable freed_;
};

std::string sha256Hex(std::string_view bytes);

} // namespace ranking
