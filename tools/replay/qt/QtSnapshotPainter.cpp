#include "tools/replay/qt/QtSnapshotPainter.h"

#include <QImage>
#include <QString>

#include <stdexcept>

namespace replay {

void QtSnapshotPainter::paint(const ui::Application& app, const std::filesystem::path& outDir,
                              const std::string& name, double scale)
{
    if (!renderer_) {
        renderer_.emplace(app.pictures());
    }
    forgetClosedForms(app);
    for (const ui::Form* form : app.openForms()) {
        const auto file = outDir / (name + "-" + form->name() + ".png");
        if (!renderer_->render(*form, scale).save(QString::fromStdString(file.string()), "PNG")) {
            throw std::runtime_error("snap: cannot write " + file.string());
        }
    }
}

// Windows closed since the last snap let go of the pictures the renderer
// keeps for them: a long script must not grow without end.
void QtSnapshotPainter::forgetClosedForms(const ui::Application& app)
{
    std::set<std::uint64_t> open;
    for (const ui::Form* form : app.openForms()) {
        open.insert(form->instanceId());
    }
    for (std::uint64_t id : renderedForms_) {
        if (open.count(id) == 0) {
            renderer_->forgetForm(id);
        }
    }
    renderedForms_ = open;
}

} // namespace replay
