#pragma once

// What the records file needs from the system it runs on, handed to the core
// by whoever runs the program, once, before Main: the game hands one backed
// by Qt, the replay driver one of the standard library and POSIX, tests
// their own. The core reads, merges and formats the table; this reads and
// replaces bytes and says where they may live.

#include <memory>
#include <string>
#include <string_view>

namespace Module1 {

// Held while a save reads the file, merges it and puts the result in place,
// so that two copies of the game saving at once save one after the other.
// Released when destroyed.
class RecordLock {
public:
    virtual ~RecordLock() = default;
};

class RecordStorage {
public:
    virtual ~RecordStorage() = default;

    // --- Where the file lives

    // The directory of the running executable, without a trailing "/".
    virtual std::string programDir() const = 0;
    // The player's own data folder for the game.
    virtual std::string playerDataDir() const = 0;
    // A copy installed by the system's package: it keeps the records in the
    // player's data folder, whoever runs it and whatever it may write.
    virtual bool isInstalledCopy() const = 0;
    // DIR is a directory in which the player may create and replace files.
    virtual bool isWritableDirectory(const std::string& dir) const = 0;
    // A plain file exists at PATH (a directory of that name does not count).
    virtual bool isPlainFile(const std::string& path) const = 0;

    // --- The file

    // The whole content of the file at PATH into BYTES; false with the
    // system's reason in REASON when it cannot be read.
    virtual bool read(const std::string& path, std::string& bytes, std::string& reason) = 0;
    // Makes the directory DIR and every missing one above it; false with the
    // system's reason.
    virtual bool makeFolder(const std::string& dir, std::string& reason) = 0;
    // Puts BYTES in place of the file at PATH in one step: written beside it
    // and renamed over it, so that a failure leaves the old file as it was.
    // False with the system's reason.
    virtual bool replace(const std::string& path, std::string_view bytes, std::string& reason) = 0;
    // Waits a little for other programs' saves of the file at PATH to end and
    // holds them off until the lock is destroyed. Where the file system has
    // no locks, the lock holds nothing and the save goes on all the same.
    virtual std::unique_ptr<RecordLock> lock(const std::string& path) = 0;
};

// The storage every later call of the core uses; it must outlive them.
void UseRecordStorage(RecordStorage& storage);
// The storage handed over; throws std::logic_error when none was.
RecordStorage& CurrentRecordStorage();

} // namespace Module1
