#pragma once

// The snaps' pictures, drawn by the Qt host's renderer exactly as the game's
// windows show them. Needs a QGuiApplication.

#include "platform/qt/FormRenderer.h"
#include "tools/replay/SnapshotPainter.h"

#include <cstdint>
#include <optional>
#include <set>

namespace replay {

class QtSnapshotPainter : public SnapshotPainter {
public:
    void paint(const ui::Application& app, const std::filesystem::path& outDir, const std::string& name,
               double scale) override;

private:
    void forgetClosedForms(const ui::Application& app);

    std::optional<qthost::FormRenderer> renderer_;
    std::set<std::uint64_t> renderedForms_;
};

} // namespace replay
