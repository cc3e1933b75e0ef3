#include "server/HttpTarget.h"

namespace ranking {

namespace {

int hexValue(char c)
{
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

} // namespace

HttpTarget splitTarget(std::string_view target)
{
    const auto mark = target.find('?');
    if (mark == std::string_view::npos) {
        return {std::string(target), {}};
    }
    return {std::string(target.substr(0, mark)), std::string(target.substr(mark + 1))};
}

std::optional<std::string> percentDecoded(std::string_view text, bool query)
{
    std::string decoded;
    decoded.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == '%') {
            const int high = i + 2 < text.size() ? hexValue(text[i + 1]) : -1;
            const int low = high >= 0 ? hexValue(text[i + 2]) : -1;
            if (low < 0) {
                return std::nullopt;
            }
            c = static_cast<char>(high * 16 + low);
            i += 2;
        } else if (c == '+' && query) {
            c = ' ';
        }
        if (c == '\0') {
            return std::nullopt;
        }
        decoded.push_back(c);
    }
    return decoded;
}

std::optional<std::string> queryValue(std::string_view query, std::string_view name)
{
    while (!query.empty()) {
        const auto end = query.find('&');
        const std::string_view pair = query.substr(0, end);
        const auto equals = pair.find('=');
        if (pair.substr(0, equals) == name) {
            return equals == std::string_view::npos ? std::string() : percentDecoded(pair.substr(equals + 1), true);
        }
        query = end == std::string_view::npos ? std::string_view() : query.substr(end + 1);
    }
    return std::nullopt;
}

std::optional<std::string> siteFilePath(std::string_view path)
{
    if (path.empty() || path.front() != '/') {
        return std::nullopt;
    }
    auto decoded = percentDecoded(path.substr(1));
    if (!decoded || decoded->find('\\') != std::string::npos) {
        return std::nullopt;
    }
    if (decoded->empty() || decoded->back() == '/') {
        *decoded += "index.html";
    }
    std::string_view rest = *decoded;
    while (!rest.empty()) {
        const auto slash = rest.find('/');
        const std::string_view segment = rest.substr(0, slash);
        if (segment.empty() || segment.front() == '.') {
            return std::nullopt;
        }
        rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
    }
    return decoded;
}

} // namespace ranking
