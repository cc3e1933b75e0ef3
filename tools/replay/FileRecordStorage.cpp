#include "tools/replay/FileRecordStorage.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace replay {

namespace {

constexpr auto kLockWait = std::chrono::seconds(5);
constexpr auto kLockRetry = std::chrono::milliseconds(10);
constexpr mode_t kNewFileMode = 0666; // less the umask, as for any new file
constexpr int kTemporaryNameTries = 100;

std::string systemReason(int error)
{
    return std::strerror(error);
}

std::string folderOf(const std::string& path)
{
    const std::string folder = std::filesystem::path(path).parent_path().string();
    return folder.empty() ? std::string(".") : folder;
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() { closeNow(); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // False when closing reports an error (data a network file system had
    // not written yet).
    bool closeNow()
    {
        const int fd = fd_;
        fd_ = -1;
        return fd < 0 || ::close(fd) == 0;
    }

private:
    int fd_;
};

bool writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// A file system that cannot sync (it keeps files in memory) loses nothing by
// not doing it.
bool syncToDisk(int fd)
{
    return ::fsync(fd) == 0 || errno == EINVAL || errno == ENOTSUP;
}

// A save follows a symbolic link and replaces the file it points to.
std::string fileBehind(const std::string& path)
{
    std::error_code error;
    if (!std::filesystem::is_symlink(path, error)) {
        return path;
    }
    const auto target = std::filesystem::weakly_canonical(path, error);
    return error ? path : target.string();
}

// A new file beside TARGET, named after it; -1 with errno set on failure.
int createBeside(const std::string& target, std::string& name)
{
    static unsigned counter = 0;
    for (int attempt = 0; attempt < kTemporaryNameTries; ++attempt) {
        name = target + "." + std::to_string(::getpid()) + "-" + std::to_string(++counter);
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kNewFileMode);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    return -1;
}

// The lock lives on the folder, not on the file that every save replaces.
class FolderLock : public Module1::RecordLock {
public:
    explicit FolderLock(const std::string& path)
        : folder_(::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))
    {
        if (folder_.valid() && !acquire()) {
            folder_.closeNow();
        }
    }

private:
    // False on a file system without locks, or when another save keeps its
    // lock too long: this save then goes on without one.
    bool acquire() const
    {
        const auto deadline = std::chrono::steady_clock::now() + kLockWait;
        while (::flock(folder_.get(), LOCK_EX | LOCK_NB) != 0) {
            if ((errno != EWOULDBLOCK && errno != EINTR) || std::chrono::steady_clock::now() >= deadline) {
                return false;
            }
            std::this_thread::sleep_for(kLockRetry);
        }
        return true;
    }

    FileDescriptor folder_;
};

} // namespace

std::string FileRecordStorage::programDir() const
{
    std::error_code error;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) {
        return exe.parent_path().string();
    }
    const auto cwd = std::filesystem::current_path(error);
    return error ? std::string(".") : cwd.string();
}

std::string FileRecordStorage::playerDataDir() const
{
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome != nullptr && *dataHome != '\0') {
        return std::string(dataHome) + "/quorvel";
    }
    const char* home = std::getenv("HOME");
    const std::string base = home != nullptr && *home != '\0' ? home : "";
    return base + "/.local/share/quorvel";
}

bool FileRecordStorage::isWritableDirectory(const std::string& dir) const
{
    struct stat info {};
    return ::stat(dir.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && ::access(dir.c_str(), W_OK | X_OK) == 0;
}

bool FileRecordStorage::isPlainFile(const std::string& path) const
{
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

bool FileRecordStorage::read(const std::string& path, std::string& bytes, std::string& reason)
{
    const FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat info {};
    if (!file.valid() || ::fstat(file.get(), &info) != 0) {
        reason = systemReason(errno);
        return false;
    }
    if (S_ISDIR(info.st_mode)) {
        reason = "file to open is a directory";
        return false;
    }
    std::string content;
    char buffer[16384];
    for (;;) {
        const ssize_t got = ::read(file.get(), buffer, sizeof buffer);
        if (got == 0) {
            break;
        }
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            reason = systemReason(errno);
            return false;
        }
        content.append(buffer, static_cast<std::size_t>(got));
    }
    bytes = std::move(content);
    return true;
}

bool FileRecordStorage::makeFolder(const std::string& dir, std::string& reason)
{
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    if (error) {
        reason = error.message();
        return false;
    }
    return true;
}

bool FileRecordStorage::replace(const std::string& path, std::string_view bytes, std::string& reason)
{
    const std::string target = fileBehind(path);
    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (exists && ::access(target.c_str(), W_OK) != 0) {
        reason = "Existing file " + path + " is not writable";
        return false;
    }
    if (exists && S_ISDIR(old.st_mode)) {
        reason = "Filename refers to a directory";
        return false;
    }
    std::string temporary;
    FileDescriptor file(createBeside(target, temporary));
    if (!file.valid()) {
        reason = systemReason(errno);
        return false;
    }
    const bool written = (!exists || ::fchmod(file.get(), old.st_mode & 07777) == 0) && writeAll(file.get(), bytes) &&
                         syncToDisk(file.get()) && file.closeNow() && ::rename(temporary.c_str(), target.c_str()) == 0;
    if (!written) {
        reason = systemReason(errno);
        file.closeNow();
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

std::unique_ptr<Module1::RecordLock> FileRecordStorage::lock(const std::string& path)
{
    return std::make_unique<FolderLock>(path);
}

} // namespace replay
