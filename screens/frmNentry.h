#pragma once

// Name entry: the new score takes its place in the zone's ten best, the
// player names it, and the whole table is saved when the window goes.

#include "platform/model/Form.h"
#include "resources/designs/Designs.h"
#include "core/FormNames.h"

#include <cstdint>
#include <optional>
#include <string>

class frmNentry : public ui::Form {
public:
    static constexpr const char* kFormName = forms::kNentry;
    explicit frmNentry(ui::Application& app);

    void Form_Activate() override;
    void Form_Unload(int& Cancel) override;
    void dumpState(ui::StateDump& out) const override;
    // Saves the table as unloading does, for a program about to be ended
    // before this window is closed; unloading later notes no second entry.
    void saveRecords();

private:
    void Text1_Change();
    void Text1_KeyPress(int& KeyAscii);
    void Picture1_KeyPress(int& KeyAscii);

    void bubbleNewScoreUp();
    void exchangeWithSlotAbove(int slot);
    void listTable();
    void highlightEntryRow();
    bool entryRowListed() const;

    designs::Design<designs::buildNentry> design_{*this};

    ui::PictureBox& Picture1 = get<ui::PictureBox>("Picture1"); // the table; Enter on it opens the certificate too
    ui::ControlArray<ui::Label> Label1 = array<ui::Label>("Label1"); // names by rank, the new one as it is typed
    ui::ControlArray<ui::Label> Label3 = array<ui::Label>("Label3"); // scores by rank
    ui::Shape& Shape1 = get<ui::Shape>("Shape1"); // highlight on the new entry's row
    ui::TextBox& Text1 = get<ui::TextBox>("Text1"); // the name box

    std::int16_t EntryRow = 0;
    std::int16_t RowFound = 0;
    std::int32_t SwapScore = 0;
    std::string SwapName;
    // The insertion moves entries of the shared table; it happens once per
    // visit, however often the window is activated again.
    bool ranked_ = false;
    // The name of the new entry as an earlier save noted it.
    std::optional<std::string> notedName_;
};
