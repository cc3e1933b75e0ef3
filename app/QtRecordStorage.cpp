#include "app/QtRecordStorage.h"

#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>
#include <QString>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace qtrecords {

namespace {

constexpr auto kLockWait = std::chrono::seconds(5);
constexpr auto kLockRetry = std::chrono::milliseconds(10);

QString qPath(const std::string& path) { return QString::fromStdString(path); }

// Qt reports a failed flush as "Unknown error"; the system's errno then
// says what happened.
std::string systemReason(const QFileDevice& file)
{
    const int systemError = errno;
    const QString reason = file.errorString();
    if (!reason.isEmpty() && reason != QLatin1String("Unknown error")) {
        return reason.toStdString();
    }
    return systemError != 0 ? std::strerror(systemError) : "the data could not be written";
}

// A lock on the folder rather than on the file, which every save replaces:
// a lock on the old file would not hold off a save that opens the new one.
// The kernel lets go of it when its holder ends, however it ends.
class FolderLock : public Module1::RecordLock {
public:
    explicit FolderLock(const std::string& path)
    {
        const std::string folder = std::filesystem::path(path).parent_path().string();
        fd_ = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd_ >= 0 && !acquire()) {
            release();
        }
    }
    ~FolderLock() override { release(); }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

private:
    // False when the file system has no locks, or another save keeps its
    // lock too long: this save goes on without one.
    bool acquire() const
    {
        const auto deadline = std::chrono::steady_clock::now() + kLockWait;
        while (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
            if ((errno != EWOULDBLOCK && errno != EINTR) || std::chrono::steady_clock::now() >= deadline) {
                return false;
            }
            std::this_thread::sleep_for(kLockRetry);
        }
        return true;
    }
    void release()
    {
        if (fd_ >= 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }

    int fd_ = -1;
};

} // namespace

std::string QtRecordStorage::programDir() const
{
    std::error_code error;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) {
        return exe.parent_path().string();
    }
    // Without /proc the working directory is the best guess there is.
    const auto cwd = std::filesystem::current_path(error);
    return error ? std::string(".") : cwd.string();
}

std::string QtRecordStorage::playerDataDir() const
{
    // The generic location is $XDG_DATA_HOME itself; the application-specific
    // ones would append the organisation and application names Qt shows.
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation).toStdString() + "/quorvel";
}

bool QtRecordStorage::isWritableDirectory(const std::string& dir) const
{
    struct stat info {};
    return ::stat(dir.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && ::access(dir.c_str(), W_OK | X_OK) == 0;
}

bool QtRecordStorage::isPlainFile(const std::string& path) const
{
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

bool QtRecordStorage::read(const std::string& path, std::string& bytes, std::string& reason)
{
    QFile file(qPath(path));
    if (!file.open(QIODevice::ReadOnly)) {
        reason = file.errorString().toStdString();
        return false;
    }
    const QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        reason = file.errorString().toStdString();
        return false;
    }
    bytes.assign(content.constData(), static_cast<std::size_t>(content.size()));
    return true;
}

bool QtRecordStorage::makeFolder(const std::string& dir, std::string& reason)
{
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    if (error) {
        reason = error.message();
        return false;
    }
    return true;
}

bool QtRecordStorage::replace(const std::string& path, std::string_view bytes, std::string& reason)
{
    QSaveFile file(qPath(path));
    auto fail = [&reason, &file] {
        reason = systemReason(file);
        file.cancelWriting();
        return false;
    };
    errno = 0;
    if (!file.open(QIODevice::WriteOnly)) {
        return fail();
    }
    // commit() does not notice a final flush that failed (a full disk) and
    // would put the truncated file in place of the old one: flush first.
    if (file.write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size()) ||
        !file.flush()) {
        return fail();
    }
    if (!file.commit()) {
        return fail();
    }
    return true;
}

std::unique_ptr<Module1::RecordLock> QtRecordStorage::lock(const std::string& path)
{
    return std::make_unique<FolderLock>(path);
}

} // namespace qtrecords
