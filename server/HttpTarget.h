#pragma once

// A request's target as the server reads it: its path and query, and the
// file of the site a path names. Every byte comes from a client; whatever is
// malformed comes back as nullopt, never as a path outside the site.

#include <optional>
#include <string>
#include <string_view>

namespace ranking {

struct HttpTarget {
    std::string path;  // as sent, not decoded: the API's routes are plain
    std::string query; // what follows the first '?', without it
};

HttpTarget splitTarget(std::string_view target);

// %XX decoded, and '+' as a space in a query; nullopt for a bad escape or a
// NUL byte.
std::optional<std::string> percentDecoded(std::string_view text, bool query = false);

// The decoded value of the first NAME=... in QUERY, "" for a bare NAME;
// nullopt when the query has no NAME or its value cannot be decoded.
std::optional<std::string> queryValue(std::string_view query, std::string_view name);

// The site's file that PATH names, relative to the site's folder
// ("index.html" for a folder's path, which ends in '/'); nullopt for a path
// that is not absolute, has a bad escape, a backslash, or a segment that is
// empty, "." or "..", or starts with '.'.
std::optional<std::string> siteFilePath(std::string_view path);

} // namespace ranking
