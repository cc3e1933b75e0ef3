#pragma once

// The records file through the C++ standard library and POSIX alone, for the
// replay driver on any system (a browser's file system included): the new
// content is written to a file beside the old one, synced and renamed over
// it; saves of several programs are taken one after another by a lock on the
// file's folder where the file system has locks. Its reports use the same
// words as the game's for the same failure.

#include "core/RecordStorage.h"

namespace replay {

class FileRecordStorage : public Module1::RecordStorage {
public:
    std::string programDir() const override;
    // $XDG_DATA_HOME/quorvel, by default $HOME/.local/share/quorvel.
    std::string playerDataDir() const override;
    bool isInstalledCopy() const override { return false; }
    bool isWritableDirectory(const std::string& dir) const override;
    bool isPlainFile(const std::string& path) const override;

    bool read(const std::string& path, std::string& bytes, std::string& reason) override;
    bool makeFolder(const std::string& dir, std::string& reason) override;
    bool replace(const std::string& path, std::string_view bytes, std::string& reason) override;
    std::unique_ptr<Module1::RecordLock> lock(const std::string& path) override;
};

} // namespace replay
