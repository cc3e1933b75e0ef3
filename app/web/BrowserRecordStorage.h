#pragma once

// The records file in a browser: one entry of the page's storage (the
// browser's localStorage) per file, keyed "quorvel:" and the file's path,
// whose value is the file's bytes in base64. The path is a made-up one,
// "browser-storage/qorvl.dat", which the messages about the file name.

#include "core/RecordStorage.h"

#include <optional>
#include <string>

namespace webrecords {

inline constexpr char kStorageFolder[] = "browser-storage";

// The page's storage as the records need it. Either call fails with the
// browser's reason (storage turned off, the quota full).
class KeyValueStore {
public:
    virtual ~KeyValueStore() = default;
    // VALUE is nullopt when nothing is stored under KEY.
    virtual bool get(const std::string& key, std::optional<std::string>& value, std::string& reason) = 0;
    virtual bool set(const std::string& key, const std::string& value, std::string& reason) = 0;
};

// The storage key of the file at PATH.
std::string storageKey(const std::string& path);

class BrowserRecordStorage : public Module1::RecordStorage {
public:
    explicit BrowserRecordStorage(KeyValueStore& store) : store_(store) {}

    // The program and the player share one place: the page's storage.
    std::string programDir() const override { return kStorageFolder; }
    std::string playerDataDir() const override { return kStorageFolder; }
    bool isInstalledCopy() const override { return false; }
    // Whether a write succeeds is known only when it is tried: the save says.
    bool isWritableDirectory(const std::string& dir) const override { return dir == kStorageFolder; }
    // False also when the storage cannot be read at all: the game then starts
    // from the default table, and its saves report why they fail.
    bool isPlainFile(const std::string& path) const override;

    bool read(const std::string& path, std::string& bytes, std::string& reason) override;
    // Keys need no folders.
    bool makeFolder(const std::string& dir, std::string& reason) override;
    bool replace(const std::string& path, std::string_view bytes, std::string& reason) override;
    // A save reads and writes the storage in one task of the page, which no
    // other tab's script interrupts: there is nothing to wait for.
    std::unique_ptr<Module1::RecordLock> lock(const std::string& path) override;

    // Why the page's storage cannot be read at all, found by looking for
    // the file at PATH; empty when it can.
    std::string unavailableReason(const std::string& path) const;

private:
    KeyValueStore& store_;
};

} // namespace webrecords
