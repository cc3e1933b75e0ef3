// The page's fonts for the designs' fonts, held against the desktop host's:
// the same face (the web fonts are the desktop's renamed), size and style
// for every font a design uses.

#include "app/Program.h"
#include "platform/model/Controls.h"
#include "platform/qt/QtServices.h"
#include "platform/web/WebFonts.h"
#include "resources/designs/Designs.h"

#include <QFont>
#include <QString>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <vector>

namespace {

class DesignForm : public ui::Form {
public:
    explicit DesignForm(ui::Application& app) : Form(app, "frmDesign") {}
};

void fontsOf(const ui::Container& container, std::vector<ui::Font>& into)
{
    for (const ui::Control* control : container.children()) {
        if (const auto* label = dynamic_cast<const ui::Label*>(control)) {
            into.push_back(label->font());
        } else if (const auto* frame = dynamic_cast<const ui::Frame*>(control)) {
            into.push_back(frame->font());
            fontsOf(*frame, into);
        } else if (const auto* box = dynamic_cast<const ui::PictureBox*>(control)) {
            into.push_back(box->font());
            fontsOf(*box, into);
        } else if (const auto* text = dynamic_cast<const ui::TextBox*>(control)) {
            into.push_back(text->font());
        }
    }
}

std::vector<ui::Font> designFonts()
{
    wiring::Program<ui::VirtualClock> program;
    std::vector<ui::Font> fonts;
    for (auto build : {designs::buildTitle, designs::buildMenu, designs::buildZone, designs::buildStage,
                       designs::buildResults, designs::buildNentry, designs::buildRecord, designs::buildOption,
                       designs::buildCertif}) {
        DesignForm form(program.app);
        build(form);
        fontsOf(form, fonts);
    }
    return fonts;
}

// The page's name of the font file the desktop uses.
std::string webName(const QString& desktopFamily)
{
    static const std::map<QString, std::string> renamed = {
        {"Liberation Serif", "Web Serif"},
        {"Liberation Sans", "Web Sans"},
        {"Liberation Mono", "Web Mono"},
        {"IPAPGothic", "Web Gothic"},
    };
    const auto found = renamed.find(desktopFamily);
    return found == renamed.end() ? desktopFamily.toStdString() : found->second;
}

TEST(WebFontsTest, everyDesignFontHasTheDesktopsFaceSizeAndStyle)
{
    const std::vector<ui::Font> fonts = designFonts();
    ASSERT_GT(fonts.size(), 50u);
    for (const ui::Font& font : fonts) {
        SCOPED_TRACE(font.face + " " + std::to_string(font.points));
        const QFont desktop = qthost::qtFont(font);
        const webhost::PageFont page = webhost::pageFont(font);
        ASSERT_FALSE(page.families.empty());
        EXPECT_EQ(page.families.front(), webName(desktop.families().front()));
        EXPECT_EQ(page.pixelSize, desktop.pixelSize());
        EXPECT_EQ(page.bold, desktop.bold());
        EXPECT_EQ(page.italic, desktop.italic());
        // Japanese text in any face falls back to the Gothic, as on the desktop.
        EXPECT_NE(std::find(page.families.begin(), page.families.end(), "Web Gothic"), page.families.end());
    }
}

TEST(WebFontsTest, theCssValueNamesStyleSizeAtTheDeviceRatioAndFamiliesInOrder)
{
    const ui::Font score{"Times New Roman", 11.25, true, true};
    EXPECT_EQ(webhost::cssFont(score),
              "italic bold 15px \"Web Serif\", \"Web Gothic\", \"IPAPGothic\", \"Noto Sans CJK JP\", sans-serif");
    EXPECT_EQ(webhost::cssFont(score, 1.5),
              "italic bold 22.5px \"Web Serif\", \"Web Gothic\", \"IPAPGothic\", \"Noto Sans CJK JP\", sans-serif");
    const ui::Font gothic{"ＭＳ Ｐゴシック", 12, true, false};
    EXPECT_EQ(webhost::cssFont(gothic, 2), "bold 32px \"Web Gothic\", \"IPAPGothic\", \"Noto Sans CJK JP\", sans-serif");
    // The default font is the dialog font whatever size the model gives it.
    EXPECT_EQ(webhost::cssFont(ui::Font{"", 20, false, false}),
              "11px \"Web Sans\", \"Web Gothic\", \"IPAPGothic\", \"Noto Sans CJK JP\", sans-serif");
}

} // namespace
