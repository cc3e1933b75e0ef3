#include "screens/frmNentry.h"

#include "core/Module1.h"
#include "core/RecordFile.h"
#include "platform/model/Application.h"
#include "platform/model/Text.h"
#include "screens/CertificateLayout.h"

#include <utility>

namespace {

constexpr int kFirstRowTop = 600;
constexpr int kRowHeight = 240;
constexpr int kHighlightLeft = 1500;
constexpr int kRowSlant = 120;

// The character a KeyPress code stands for, if it decodes to exactly one.
std::u32string characterOfKey(int keyAscii)
{
    std::string bytes;
    if (keyAscii > 0xFF) {
        bytes += static_cast<char>((keyAscii >> 8) & 0xFF);
    }
    bytes += static_cast<char>(keyAscii & 0xFF);
    const auto decoded = ui::fromCp932(bytes);
    return decoded ? ui::toU32(*decoded) : std::u32string();
}

bool isAcceptedKey(int keyAscii)
{
    if (keyAscii == ui::vk::Backspace) {
        return true;
    }
    if (keyAscii <= 0 || keyAscii > 0xFFFF) {
        return false;
    }
    const std::u32string character = characterOfKey(keyAscii);
    return character.size() == 1 && Module1::isAcceptedNameCharacter(character.front());
}

// The text with every character the records file could not carry removed.
std::string acceptedText(const std::string& utf8)
{
    std::u32string kept;
    for (char32_t ch : ui::toU32(utf8)) {
        if (Module1::isAcceptedNameCharacter(ch)) {
            kept += ch;
        }
    }
    return ui::toUtf8(kept);
}

} // namespace

frmNentry::frmNentry(ui::Application& app) : Form(app, kFormName)
{
    Text1.onChange = [this] { Text1_Change(); };
    Text1.onKeyPress = [this](int& k) { Text1_KeyPress(k); };
    Picture1.onKeyPress = [this](int& k) { Picture1_KeyPress(k); };
}

void frmNentry::Form_Activate()
{
    if (ranked_) {
        return;
    }
    ranked_ = true;
    bubbleNewScoreUp();
    listTable();
    highlightEntryRow();
}

void frmNentry::bubbleNewScoreUp()
{
    const int zone = Module1::CurrentZone;
    RowFound = 0;
    for (int slot = Module1::kWorkingSlot; slot >= 1; --slot) {
        if (Module1::RecordScore[zone][slot] > Module1::RecordScore[zone][slot - 1]) {
            exchangeWithSlotAbove(slot);
            // Only the rising entry may claim the top: in a table loaded out
            // of order, other entries can still be exchanged after it stopped.
            if (slot == 1 && RowFound == 0) {
                EntryRow = 0;
            }
        } else if (RowFound == 0) {
            RowFound = 1;
            EntryRow = static_cast<std::int16_t>(slot);
        }
    }
    Module1::RecordName[zone][EntryRow] = "";
}

void frmNentry::exchangeWithSlotAbove(int slot)
{
    const int zone = Module1::CurrentZone;
    auto& scores = Module1::RecordScore[zone];
    auto& names = Module1::RecordName[zone];
    SwapScore = scores[slot];
    scores[slot] = scores[slot - 1];
    scores[slot - 1] = SwapScore;
    SwapName = names[slot];
    names[slot] = names[slot - 1];
    names[slot - 1] = SwapName;
}

void frmNentry::listTable()
{
    const int zone = Module1::CurrentZone;
    for (int row = 0; row < Label1.size(); ++row) {
        Label1(row).setCaption(Module1::RecordName[zone][row]);
        Label3(row).setCaption(ui::numberText(Module1::RecordScore[zone][row]));
    }
}

bool frmNentry::entryRowListed() const
{
    return EntryRow >= 0 && EntryRow < Label1.size();
}

void frmNentry::highlightEntryRow()
{
    // A score that did not rise into the ten (the screen opened by hand)
    // has no row to highlight.
    Shape1.setVisible(entryRowListed());
    Shape1.setTop(kRowHeight * EntryRow + kFirstRowTop);
    Shape1.setLeft(kHighlightLeft - kRowSlant * EntryRow);
}

void frmNentry::Text1_Change()
{
    // Text can arrive without a key press (an input method's commit), so
    // refused characters are taken out here too.
    std::string accepted = acceptedText(Text1.text());
    if (accepted != Text1.text()) {
        Text1.setText(std::move(accepted)); // changes again, with the accepted text
        return;
    }
    if (entryRowListed()) {
        Label1(EntryRow).setCaption(Text1.text());
    }
}

void frmNentry::Text1_KeyPress(int& KeyAscii)
{
    if (KeyAscii == ui::vk::Enter) {
        KeyAscii = 0;
        Module1::RecordName[Module1::CurrentZone][EntryRow] = Module1::storableName(Text1.text());
        certificate_layout::openOver(*this);
        return;
    }
    if (!isAcceptedKey(KeyAscii)) {
        KeyAscii = 0;
    }
}

void frmNentry::Picture1_KeyPress(int& KeyAscii)
{
    if (KeyAscii == ui::vk::Enter) {
        certificate_layout::openOver(*this);
    }
}

void frmNentry::Form_Unload(int& Cancel)
{
    (void)Cancel;
    saveRecords();
}

void frmNentry::saveRecords()
{
    // Records another copy of the game saved meanwhile are merged in, and
    // can move the new entry down, or out of the ten.
    // Before an activation ranked it, there is no new entry to save.
    const std::string& name = Module1::RecordName[Module1::CurrentZone][EntryRow];
    const bool newEntry = ranked_ && notedName_ != name;
    if (newEntry) {
        notedName_ = name;
    }
    const int entered = newEntry ? EntryRow : Module1::kRanks;
    const int row = Module1::SaveEnteredRecord(Module1::CurrentZone, entered);
    if (row != entered) {
        EntryRow = static_cast<std::int16_t>(row);
        listTable();
        highlightEntryRow();
    }
}

void frmNentry::dumpState(ui::StateDump& out) const
{
    const std::string prefix = name() + ".";
    out.add(prefix + "EntryRow", EntryRow);
    out.add(prefix + "RowFound", RowFound);
    out.add(prefix + "SwapScore", SwapScore);
    out.add(prefix + "SwapName", SwapName);
}
