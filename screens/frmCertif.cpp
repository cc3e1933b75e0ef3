#include "screens/frmCertif.h"

#include "core/Module1.h"
#include "platform/model/Application.h"
#include "screens/CertificateLayout.h"

#include <array>

namespace {

constexpr std::int32_t kExpertScore = 20000;
constexpr std::int32_t kUpperCaseClasses = 10000;

struct ClassBand {
    std::int32_t below;
    const char* letter;
};

constexpr std::array<ClassBand, 10> kClassBands{{
    {5000, "e"},
    {6000, "d"},
    {7000, "c"},
    {8000, "b"},
    {10000, "a"},
    {12000, "E"},
    {14000, "D"},
    {16000, "C"},
    {18000, "B"},
    {20000, "A"},
}};

const char* classLetter(std::int32_t score)
{
    for (const ClassBand& band : kClassBands) {
        if (score < band.below) {
            return band.letter;
        }
    }
    return nullptr;
}

bool isClosingKey(int keyAscii)
{
    return keyAscii == ui::vk::Enter || keyAscii == ui::vk::Space;
}

} // namespace

frmCertif::frmCertif(ui::Application& app) : Form(app, kFormName)
{
    Picture1.onKeyPress = [this](int& k) { Picture1_KeyPress(k); };
}

void frmCertif::Form_Activate()
{
    const std::int32_t score = Module1::LastScore;
    Label2.setVisible(false);
    if (const char* letter = classLetter(score)) {
        Label3.setCaption(letter);
    }
    if (score >= kExpertScore) {
        showExpertCertificate();
    }
    if (score < kUpperCaseClasses) {
        Picture1.setPicture(Image2.picture());
    }
    if (Module1::HitRate == 100.0 && score < kExpertScore) {
        Label2.setVisible(true);
    }
}

void frmCertif::showExpertCertificate()
{
    Label1.setVisible(false);
    Label2.setVisible(false);
    Label3.setVisible(false);
    Label4.setVisible(false);
    Picture1.setPicture(Image1.picture());
}

void frmCertif::Picture1_KeyPress(int& KeyAscii)
{
    if (isClosingKey(KeyAscii)) {
        returnToTitle();
    }
}

void frmCertif::Form_KeyPress(int& KeyAscii)
{
    if (isClosingKey(KeyAscii)) {
        returnToTitle();
    }
}

void frmCertif::Form_Deactivate()
{
    returnToTitle();
}

void frmCertif::Form_Unload(int& Cancel)
{
    (void)Cancel;
    returnToTitle();
}

void frmCertif::returnToTitle()
{
    if (returning_) {
        return;
    }
    returning_ = true;
    ui::Form* opener = app().loaded(Module1::NewRecord == 1 ? forms::kNentry : forms::kResults);
    if (opener != nullptr) {
        opener->openHere(forms::kTitle);
        opener->unload();
    } else {
        // Shown on its own, the certificate puts the title where its opener
        // would have stood.
        openHere(forms::kTitle, -certificate_layout::kDown, -certificate_layout::kRight);
    }
    unload();
}
