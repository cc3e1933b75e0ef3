// Prints, as UTF-8, every character the game itself draws: the captions and
// texts of the nine designs, the five character tables, the default records
// table and the characters numbers are written with. The web fonts' check
// reads it.

#include "core/Module1.h"
#include "platform/model/Application.h"
#include "platform/model/Controls.h"
#include "platform/model/Form.h"
#include "platform/model/Text.h"
#include "resources/PictureCatalog.h"
#include "resources/designs/Designs.h"
#include "tests/support/ModelDoubles.h"

#include <iostream>
#include <set>
#include <string>

namespace {

class DesignForm : public ui::Form {
public:
    explicit DesignForm(ui::Application& app) : Form(app, "frmDesign") {}
};

void collect(std::set<char32_t>& into, const std::string& utf8)
{
    for (char32_t ch : ui::toU32(utf8)) {
        into.insert(ch);
    }
}

void collectContainer(std::set<char32_t>& into, const ui::Container& container)
{
    for (const ui::Control* control : container.children()) {
        if (const auto* label = dynamic_cast<const ui::Label*>(control)) {
            collect(into, label->caption());
        } else if (const auto* frame = dynamic_cast<const ui::Frame*>(control)) {
            collect(into, frame->caption());
            collectContainer(into, *frame);
        } else if (const auto* box = dynamic_cast<const ui::PictureBox*>(control)) {
            collectContainer(into, *box);
        } else if (const auto* text = dynamic_cast<const ui::TextBox*>(control)) {
            collect(into, text->text());
        }
    }
}

} // namespace

int main()
{
    ui::VirtualClock clock;
    testing_support::FixedMetrics metrics;
    pictures::Catalog catalog;
    ui::Application app(clock, metrics, catalog);

    std::set<char32_t> drawn;
    for (auto build : {designs::buildTitle, designs::buildMenu, designs::buildZone, designs::buildStage,
                       designs::buildResults, designs::buildNentry, designs::buildRecord, designs::buildOption,
                       designs::buildCertif}) {
        DesignForm form(app);
        build(form);
        collect(drawn, form.caption());
        collectContainer(drawn, form);
    }
    Module1::FillCharTables();
    for (const std::u32string& table : Module1::CharTable) {
        drawn.insert(table.begin(), table.end());
    }
    Module1::FillDefaultRecords();
    for (const auto& zone : Module1::RecordName) {
        for (const std::string& name : zone) {
            collect(drawn, name);
        }
    }
    collect(drawn, "0123456789.- ");
    for (char32_t ch : drawn) {
        std::cout << ui::toUtf8(ch);
    }
    std::cout << '\n';
    return std::cout ? 0 : 1;
}
