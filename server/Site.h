#pragma once

// The web site's files, served from one folder on the API's origin. Each
// answer names the API, so the page learns from its own files where the
// ranking is, without asking an API a static host would answer with 404.

#include "server/HttpServer.h"

#include <filesystem>
#include <string_view>

namespace ranking {

class Site {
public:
    // Throws std::runtime_error, with the folder and the reason, when
    // FOLDER is not a folder this process can read.
    explicit Site(std::filesystem::path folder);

    // The answer to GET or HEAD of PATH (a request's path, undecoded):
    // the file, or 404. It reads the disk, so it is not for a transport thread.
    HttpResponse answer(std::string_view path) const;

private:
    std::filesystem::path folder_;
};

} // namespace ranking
