#include "screens/frmResults.h"

#include "core/Module1.h"
#include "core/Rounding.h"
#include "platform/model/Application.h"
#include "platform/model/Text.h"
#include "screens/CertificateLayout.h"

#include <algorithm>
#include <cstdint>

namespace {

constexpr double kScoreBarFull = 18000;
constexpr double kResponseBarFull = 2250;
constexpr double kTotalBarFull = 20000;
constexpr double kSlowestAverage = 1300;
// An average of 0 (no hit timed) would earn these points, which the bar
// check below takes back.
constexpr double kUntimedPoints = kSlowestAverage * 3;
constexpr std::int32_t kLowestRankedScore = 2000;

// Bar widths are whole pixels; a figure outside the expected range (set by
// hand) must not give a negative or oversized bar.
double barPixels(double length)
{
    return std::clamp(floorWhole(length), 0.0, 100.0);
}

std::int32_t& workingScore()
{
    return Module1::RecordScore[Module1::CurrentZone][Module1::kWorkingSlot];
}

} // namespace

frmResults::frmResults(ui::Application& app) : Form(app, kFormName)
{
    Picture1.onKeyPress = [this](int& k) { Picture1_KeyPress(k); };
    Timer1.onTimer = [this] { Timer1_Timer(); };
}

void frmResults::Form_Activate()
{
    if (scored_) {
        return;
    }
    scored_ = true;
    showMeasurements();
    turnAverageIntoResponsePoints();
    showResponseBar();
    storeFinalScore();
}

void frmResults::showMeasurements()
{
    const std::int32_t rawScore = workingScore();
    Label2(0).setCaption(ui::numberText(rawScore));
    BarRatio = std::min(rawScore / kScoreBarFull, 1.0);
    Shape2(0).setWidth(barPixels(BarRatio * 100));
    Label2(1).setCaption(ui::numberText(Module1::AvgResponse));
    Label2(2).setCaption(ui::numberText(Module1::HitRate));
    Shape2(2).setWidth(barPixels(Module1::HitRate));
}

void frmResults::turnAverageIntoResponsePoints()
{
    if (Module1::AvgResponse > kSlowestAverage) {
        Module1::AvgResponse = 0;
    } else {
        Module1::AvgResponse = (kSlowestAverage - Module1::AvgResponse) * 3;
    }
}

void frmResults::showResponseBar()
{
    BarRatio = Module1::AvgResponse / kResponseBarFull;
    if (BarRatio > 1) {
        // Compared in single precision, as the points of an untimed play.
        if (static_cast<float>(BarRatio) == static_cast<float>(kUntimedPoints / kResponseBarFull)) {
            BarRatio = 0;
            Module1::AvgResponse = 0;
        } else {
            BarRatio = 1;
        }
    }
    Shape2(1).setWidth(barPixels(BarRatio * 100));
}

void frmResults::storeFinalScore()
{
    std::int32_t& score = workingScore();
    score = storeInt32((floorWhole(Module1::AvgResponse) + score) * Module1::HitRate / 100);
    Module1::LastScore = score;
    Label2(3).setCaption(ui::numberText(score));
    BarRatio = std::min(score / kTotalBarFull, 1.0);
    Shape2(3).setWidth(barPixels(BarRatio * 100));
}

void frmResults::Picture1_KeyPress(int& KeyAscii)
{
    if (KeyAscii != ui::vk::Enter && KeyAscii != ui::vk::Space) {
        return;
    }
    const std::int32_t score = workingScore();
    if (score < kLowestRankedScore) {
        openHere(forms::kTitle);
        unload();
    } else if (score > Module1::RecordScore[Module1::CurrentZone][Module1::kRanks - 1]) {
        Module1::NewRecord = 1;
        openHere(forms::kNentry);
        unload();
    } else {
        Module1::NewRecord = 0;
        certificate_layout::openOver(*this);
    }
}

void frmResults::Timer1_Timer()
{
    Label4.setVisible(!Label4.visible());
}

void frmResults::dumpState(ui::StateDump& out) const
{
    out.add(std::string(kFormName) + ".BarRatio", BarRatio);
}
