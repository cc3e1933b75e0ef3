#include "screens/frmTitle.h"

#include "platform/model/Application.h"

namespace {

constexpr int kBannerFullHeight = 615;
constexpr double kPictureAreaHeight = 3600;
constexpr double kPictureAreaWidth = 4800;
constexpr double kWideningFactor = 1.2;
constexpr std::int16_t kGrowingSteps = 11;
constexpr std::int16_t kRestEnd = 26;
constexpr std::int16_t kWideningStart = 10;

bool isConfirmKey(int keyAscii)
{
    return keyAscii == ui::vk::Enter || keyAscii == ui::vk::Space;
}

} // namespace

frmTitle::frmTitle(ui::Application& app) : Form(app, kFormName)
{
    Timer1.onTimer = [this] { Timer1_Timer(); };
    Timer2.onTimer = [this] { Timer2_Timer(); };
    Picture1.onKeyPress = [this](int& keyAscii) { Picture1_KeyPress(keyAscii); };
}

void frmTitle::Form_Activate()
{
    IntroStep = 0;
    IntroDir = 1;
}

void frmTitle::Timer1_Timer()
{
    if (!Image1.visible()) {
        Image1.setVisible(true);
    }
    if (IntroStep < kGrowingSteps && IntroDir == 1) {
        growBanner();
    }
    IntroStep = static_cast<std::int16_t>(IntroStep + IntroDir);
    if (IntroStep == kRestEnd) {
        IntroStep = kWideningStart;
        IntroDir = -1;
    }
    if (IntroDir == -1) {
        widenBanner();
    }
    if (IntroStep == -1) {
        endIntro();
    }
}

// The size lands on whole pixels, so the position is worked out from the
// size the banner really took, keeping it centred on the picture's middle.
void frmTitle::growBanner()
{
    const auto scaled = static_cast<std::int16_t>(IntroStep * kBannerFullHeight);
    Image1.setHeight(static_cast<float>(scaled) / 10.0F);
    Image1.setTop((kPictureAreaHeight - Image1.height()) / 2);
}

void frmTitle::widenBanner()
{
    Image1.setWidth(Image1.width() * kWideningFactor);
    Image1.setLeft((kPictureAreaWidth - Image1.width()) / 2);
}

void frmTitle::endIntro()
{
    Timer1.stop();
    Image1.setVisible(false);
    Picture1.setPicture(Image2.picture());
    Timer2.start();
}

void frmTitle::Timer2_Timer()
{
    Label6.setVisible(!Label6.visible());
}

void frmTitle::Picture1_KeyPress(int& KeyAscii)
{
    if (isConfirmKey(KeyAscii)) {
        openMenu();
    }
}

void frmTitle::openMenu()
{
    Image1.setVisible(false);
    openHere(forms::kMenu);
    unload();
}

void frmTitle::dumpState(ui::StateDump& out) const
{
    const std::string prefix = name() + ".";
    out.add(prefix + "IntroStep", IntroStep);
    out.add(prefix + "IntroDir", IntroDir);
}
