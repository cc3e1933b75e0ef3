#include "server/Site.h"

#include "server/HttpTarget.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <stdexcept>
#include <unistd.h>

namespace ranking {

namespace {

std::string_view contentType(const std::filesystem::path& file)
{
    static const std::pair<std::string_view, std::string_view> kTypes[] = {
        {".html", "text/html; charset=utf-8"},
        {".js", "text/javascript; charset=utf-8"},
        {".css", "text/css; charset=utf-8"},
        {".json", "application/json"},
        {".webmanifest", "application/manifest+json"},
        {".wasm", "application/wasm"},
        {".woff2", "font/woff2"},
        {".png", "image/png"},
        {".svg", "image/svg+xml"},
        {".ico", "image/x-icon"},
        {".txt", "text/plain; charset=utf-8"},
        {".qvplay", "text/plain; charset=utf-8"},
    };
    const std::string extension = file.extension().string();
    for (const auto& [suffix, type] : kTypes) {
        if (extension == suffix) {
            return type;
        }
    }
    return "application/octet-stream";
}

HttpResponse notFound()
{
    HttpResponse response{http::status::not_found, 11};
    response.set(http::field::content_type, "text/plain; charset=utf-8");
    response.body() = "not found\n";
    return response;
}

} // namespace

Site::Site(std::filesystem::path folder) : folder_(std::move(folder))
{
    std::error_code error;
    if (!std::filesystem::is_directory(folder_, error)) {
        throw std::runtime_error("cannot serve the site " + folder_.string() + ": " +
                                 (error ? error.message() : "not a folder"));
    }
    if (::access(folder_.c_str(), R_OK | X_OK) != 0) {
        throw std::runtime_error("cannot serve the site " + folder_.string() + ": " + std::strerror(errno));
    }
}

HttpResponse Site::answer(std::string_view path) const
{
    const auto relative = siteFilePath(path);
    if (!relative) {
        return notFound();
    }
    const std::filesystem::path file = folder_ / *relative;
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error)) {
        return notFound();
    }
    std::ifstream in(file, std::ios::binary);
    std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (!in && !in.eof()) {
        std::cerr << "quorvel-server: cannot read " << file.string() << ": " << std::strerror(errno) << "\n";
        HttpResponse failed{http::status::internal_server_error, 11};
        failed.set(http::field::content_type, "text/plain; charset=utf-8");
        failed.body() = "the file cannot be read\n";
        return failed;
    }
    HttpResponse response{http::status::ok, 11};
    response.set(http::field::content_type, contentType(file));
    response.set("X-Quorvel-Ranking", "/api/v1");
    response.body() = std::move(bytes);
    return response;
}

} // namespace ranking
