#pragma once

// Plays kept as files in one folder (the desktop's `plays/` beside the
// records), each written whole through a temporary file and a rename.

#include "app/plays/PlayShelf.h"

#include <filesystem>

namespace playgame {

class FilePlayStore : public PlayStore {
public:
    explicit FilePlayStore(std::filesystem::path folder) : folder_(std::move(folder)) {}

    std::vector<std::string> names() const override;
    std::optional<std::string> read(const std::string& name) const override;
    // Makes the folder when it is missing.
    void write(const std::string& name, const std::string& text) override;
    void remove(const std::string& name) override;

    const std::filesystem::path& folder() const { return folder_; }

private:
    std::filesystem::path folder_;
};

} // namespace playgame
