// The certificate: the class of the last game, and every way of closing it
// leading back to the title in the place of the screen that opened it.

#include "resources/PictureCatalog.h"
#include "tests/support/AfterGameRig.h"

#include <gtest/gtest.h>

#include <functional>

using testing_support::AfterGameRig;
using testing_support::captionOf;

namespace {

ui::Form& showCertificate(AfterGameRig& rig, std::int32_t lastScore, double hitRate)
{
    Module1::LastScore = lastScore;
    Module1::HitRate = hitRate;
    return rig.showAt("frmCertif");
}

std::string pictureOf(const ui::Form& certificate)
{
    return certificate.get<ui::PictureBox>("Picture1").picture();
}

bool shows(const ui::Form& certificate, const char* label)
{
    return certificate.get<ui::Label>(label).visible();
}

struct Band {
    std::int32_t score;
    const char* letter;
    const char* picture;
};

class CertificateClass : public testing::TestWithParam<Band> {};

// The opener, placed where the player left it, with the certificate shown over it.
ui::Form& openCertificateOver(AfterGameRig& rig, const char* opener)
{
    if (std::string(opener) == "frmNentry") {
        rig.showNameEntryFor(9500);
        rig.type(U"AB");
        rig.pressEnter();
    } else {
        Module1::RecordScore[0][9] = 9000;
        rig.showResultsScoring(8000);
        rig.pressEnter();
    }
    return *rig.app.loaded("frmCertif");
}

void expectBackAtTheTitleWhere(AfterGameRig& rig, const char* opener, double left, double top)
{
    ASSERT_TRUE(rig.isOpen("frmTitle")) << opener;
    EXPECT_EQ(rig.title()->left(), left) << opener;
    EXPECT_EQ(rig.title()->top(), top) << opener;
    EXPECT_EQ(rig.app.loaded(opener), nullptr) << opener;
    EXPECT_EQ(rig.app.loaded("frmCertif"), nullptr) << opener;
    EXPECT_EQ(rig.app.activeForm(), rig.title()) << opener;
    EXPECT_EQ(rig.titleLog, "Title.Load;Title.Activate;") << opener << ": the title comes once";
}

} // namespace

TEST_P(CertificateClass, showsTheLetterOfItsBandOnItsMoss)
{
    AfterGameRig rig;
    const ui::Form& certificate = showCertificate(rig, GetParam().score, 90);
    EXPECT_EQ(captionOf(certificate, "Label3"), GetParam().letter);
    EXPECT_EQ(pictureOf(certificate), GetParam().picture);
    EXPECT_TRUE(shows(certificate, "Label3"));
    EXPECT_FALSE(shows(certificate, "Label2"));
}

INSTANTIATE_TEST_SUITE_P(Bands, CertificateClass,
                         testing::Values(Band{-20, "e", pictures::kCertifGreen}, Band{4999, "e", pictures::kCertifGreen},
                                         Band{5000, "d", pictures::kCertifGreen}, Band{6999, "c", pictures::kCertifGreen},
                                         Band{7000, "b", pictures::kCertifGreen}, Band{8000, "a", pictures::kCertifGreen},
                                         Band{9999, "a", pictures::kCertifGreen}, Band{10000, "E", pictures::kCertifPale},
                                         Band{12000, "D", pictures::kCertifPale}, Band{15999, "C", pictures::kCertifPale},
                                         Band{16000, "B", pictures::kCertifPale}, Band{19999, "A", pictures::kCertifPale}));

TEST(CertificateAward, twentyThousandAndMoreShowsOnlyTheExpertPicture)
{
    for (std::int32_t score : {20000, 25000}) {
        AfterGameRig rig;
        const ui::Form& certificate = showCertificate(rig, score, 100);
        EXPECT_EQ(pictureOf(certificate), pictures::kCertifExpert) << score;
        for (const char* label : {"Label1", "Label2", "Label3", "Label4"}) {
            EXPECT_FALSE(shows(certificate, label)) << score << " " << label;
        }
    }
}

TEST(CertificateAward, specialIsShownOnlyForAHitRateOfExactlyOneHundred)
{
    for (auto [hitRate, special] : {std::pair{100.0, true}, std::pair{99.9, false}}) {
        AfterGameRig rig;
        const ui::Form& certificate = showCertificate(rig, 12000, hitRate);
        EXPECT_EQ(captionOf(certificate, "Label3"), "D");
        EXPECT_EQ(shows(certificate, "Label2"), special) << hitRate;
    }
}

TEST(CertificateAward, aNewCertificateStartsFromItsDesign)
{
    AfterGameRig rig;
    const ui::Form& certificate = rig.app.form("frmCertif");
    EXPECT_EQ(captionOf(certificate, "Label3"), "A");
    EXPECT_EQ(pictureOf(certificate), pictures::kCertifPale);
    EXPECT_TRUE(shows(certificate, "Label2"));
}

TEST(CertificateClosing, everyClosingPathLeadsToTheTitleInTheOpenersPlace)
{
    using Close = std::function<void(AfterGameRig&, ui::Form& certificate, ui::Form& opener)>;
    const std::vector<std::pair<const char*, Close>> paths{
        {"Enter", [](AfterGameRig& rig, ui::Form&, ui::Form&) { rig.pressEnter(); }},
        {"Space", [](AfterGameRig& rig, ui::Form&, ui::Form&) { rig.pressSpace(); }},
        {"the window's own key press",
         [](AfterGameRig& rig, ui::Form& certificate, ui::Form&) {
             rig.app.run([&] {
                 int key = 13;
                 certificate.Form_KeyPress(key);
             });
         }},
        {"the close box", [](AfterGameRig& rig, ui::Form& certificate, ui::Form&) { rig.app.requestClose(certificate); }},
        {"a click on the window underneath", [](AfterGameRig& rig, ui::Form&, ui::Form& opener) { rig.app.click(opener); }},
    };
    for (const char* opener : {"frmResults", "frmNentry"}) {
        for (const auto& [how, close] : paths) {
            SCOPED_TRACE(std::string(how) + " over " + opener);
            AfterGameRig rig;
            ui::Form& certificate = openCertificateOver(rig, opener);
            ui::Form& underneath = *rig.app.loaded(opener);
            const double left = underneath.left();
            const double top = underneath.top();
            certificate.move(certificate.left() + 300, certificate.top() + 150); // dragged aside by the player
            close(rig, certificate, underneath);
            expectBackAtTheTitleWhere(rig, opener, left, top);
        }
    }
}

TEST(CertificateClosing, closingOverTheNameEntrySavesTheNamedEntry)
{
    AfterGameRig rig;
    openCertificateOver(rig, "frmNentry");
    rig.pressSpace();
    EXPECT_NE(rig.appDir.recordBytes().find("AB, 9500\r\n"), std::string::npos);
}

TEST(CertificateClosing, otherKeysLeaveItOpen)
{
    AfterGameRig rig;
    ui::Form& certificate = openCertificateOver(rig, "frmResults");
    rig.type(U"Aq1");
    rig.app.keyPress(27, U'\x1b');
    for (int arrow : {ui::vk::Left, ui::vk::Up, ui::vk::Right, ui::vk::Down}) {
        rig.app.keyDown(arrow);
    }
    EXPECT_EQ(rig.app.activeForm(), &certificate);
    EXPECT_TRUE(rig.isOpen("frmResults"));
    EXPECT_EQ(rig.title(), nullptr);
}

TEST(CertificateClosing, shownWithoutItsOpenerItPutsTheTitleWhereTheOpenerWouldStand)
{
    AfterGameRig rig;
    showCertificate(rig, 8000, 90);
    rig.pressEnter();
    ASSERT_TRUE(rig.isOpen("frmTitle"));
    EXPECT_EQ(rig.title()->left(), 1800 - 900);
    EXPECT_EQ(rig.title()->top(), 1200 - 675);
}

TEST(CertificateClosing, anyNewRecordOtherThanOneMeansTheResultsOpenedIt)
{
    AfterGameRig rig;
    openCertificateOver(rig, "frmResults");
    Module1::NewRecord = 2;
    rig.pressEnter();
    EXPECT_EQ(rig.app.loaded("frmResults"), nullptr);
    EXPECT_TRUE(rig.isOpen("frmTitle"));
}
