#pragma once

// What `snap` does beyond writing the dump: drawing the open windows. A host
// that can paint gives the session its painter; a build without one writes
// the dumps only.

#include "platform/model/Application.h"

#include <filesystem>
#include <ostream>
#include <string>

namespace replay {

class SnapshotPainter {
public:
    virtual ~SnapshotPainter() = default;
    // Draws every open window of `app` into outDir as NAME-FORM.png, at
    // `scale` times the pixel density. Throws std::runtime_error naming a
    // file it cannot write.
    virtual void paint(const ui::Application& app, const std::filesystem::path& outDir, const std::string& name,
                       double scale) = 0;
};

// Draws nothing, and says so on `note` at the first snap of the run, so that
// nobody waits for pictures that never come.
class NoPictures : public SnapshotPainter {
public:
    explicit NoPictures(std::ostream& note) : note_(note) {}
    void paint(const ui::Application& app, const std::filesystem::path& outDir, const std::string& name,
               double scale) override;

private:
    std::ostream& note_;
    bool told_ = false;
};

} // namespace replay
