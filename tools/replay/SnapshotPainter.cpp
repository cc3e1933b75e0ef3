#include "tools/replay/SnapshotPainter.h"

namespace replay {

void NoPictures::paint(const ui::Application&, const std::filesystem::path&, const std::string&, double)
{
    if (!told_) {
        note_ << "quorvel-replay: this build draws no pictures; snap writes the dumps only\n";
        told_ = true;
    }
}

} // namespace replay
