#include "app/plays/FilePlayStore.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <unistd.h>

namespace playgame {

namespace {

[[noreturn]] void cannot(const std::string& what, const std::filesystem::path& path, int error)
{
    throw std::runtime_error("cannot " + what + " " + path.string() + ": " + std::strerror(error));
}

void writeWhole(const std::filesystem::path& path, const std::string& text)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        cannot("write", path, errno);
    }
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t n = ::write(fd, text.data() + written, text.size() - written);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            const int error = n < 0 ? errno : ENOSPC;
            ::close(fd);
            cannot("write", path, error);
        }
        written += static_cast<std::size_t>(n);
    }
    if (::fsync(fd) != 0 || ::close(fd) != 0) {
        cannot("write", path, errno);
    }
}

} // namespace

std::vector<std::string> FilePlayStore::names() const
{
    std::vector<std::string> found;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder_, error)) {
        if (entry.is_regular_file(error)) {
            found.push_back(entry.path().filename().string());
        }
    }
    return found;
}

std::optional<std::string> FilePlayStore::read(const std::string& name) const
{
    std::ifstream in(folder_ / name, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void FilePlayStore::write(const std::string& name, const std::string& text)
{
    std::error_code error;
    std::filesystem::create_directories(folder_, error);
    if (error) {
        cannot("make", folder_, error.value());
    }
    const std::filesystem::path target = folder_ / name;
    const std::filesystem::path temporary = folder_ / ("." + name + ".new");
    try {
        writeWhole(temporary, text);
    } catch (...) {
        ::unlink(temporary.c_str());
        throw;
    }
    if (std::rename(temporary.c_str(), target.c_str()) != 0) {
        const int renameError = errno;
        ::unlink(temporary.c_str());
        cannot("write", target, renameError);
    }
}

void FilePlayStore::remove(const std::string& name)
{
    std::error_code error;
    std::filesystem::remove(folder_ / name, error);
}

} // namespace playgame
