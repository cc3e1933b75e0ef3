#pragma once

// The records file on the desktop: read with QFile, replaced with QSaveFile,
// the player's data folder from QStandardPaths, saves of several copies of
// the game taken one after another by a lock on the file's folder.

#include "core/RecordStorage.h"

namespace qtrecords {

class QtRecordStorage : public Module1::RecordStorage {
public:
    enum class Copy { Portable, Installed };

    explicit QtRecordStorage(Copy copy = Copy::Portable) : copy_(copy) {}

    std::string programDir() const override;
    // $XDG_DATA_HOME/quorvel, by default ~/.local/share/quorvel.
    std::string playerDataDir() const override;
    bool isInstalledCopy() const override { return copy_ == Copy::Installed; }
    // Asks the system only (stat, access), so it holds for the real user.
    bool isWritableDirectory(const std::string& dir) const override;
    bool isPlainFile(const std::string& path) const override;

    bool read(const std::string& path, std::string& bytes, std::string& reason) override;
    bool makeFolder(const std::string& dir, std::string& reason) override;
    bool replace(const std::string& path, std::string_view bytes, std::string& reason) override;
    std::unique_ptr<Module1::RecordLock> lock(const std::string& path) override;

private:
    Copy copy_;
};

} // namespace qtrecords
