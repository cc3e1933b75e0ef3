// Names typed into the name entry, whatever the player's keyboard or input
// method sends, on their way to the records file and back at the next
// start: what the box takes comes back unchanged, what it refuses never
// reaches the file.

#include "core/RecordFile.h"
#include "platform/model/Text.h"
#include "tests/support/AfterGameRig.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using testing_support::AfterGameRig;

namespace {

constexpr std::int32_t kRankingScore = 9500; // takes rank 1 of the default table
constexpr int kEntryRow = 1;

ui::TextBox& nameBox(AfterGameRig& rig)
{
    return rig.app.loaded("frmNentry")->get<ui::TextBox>("Text1");
}

void typeEachCharacter(AfterGameRig& rig, std::u32string_view text)
{
    for (char32_t ch : text) {
        rig.app.keyPress(ui::keyAsciiFor(ch).value_or('?'), ch);
    }
}

// An input method commits its text into the box without key presses.
void commitText(AfterGameRig& rig, const std::u32string& text)
{
    rig.app.run([&] { nameBox(rig).setText(nameBox(rig).text() + ui::toUtf8(text)); });
}

std::u32string accepted(std::u32string_view text)
{
    std::u32string kept;
    for (char32_t ch : text) {
        if (Module1::isAcceptedNameCharacter(ch)) {
            kept += ch;
        }
    }
    return kept;
}

// Names the name entry with `enter`, then closes it, which saves. Returns
// the name stored for the new entry.
template <class Enter>
std::string nameAndSave(AfterGameRig& rig, Enter&& enter)
{
    rig.showNameEntryFor(kRankingScore);
    enter();
    rig.pressEnter();
    rig.app.requestClose(*rig.app.loaded("frmNentry"));
    return Module1::RecordName[0][kEntryRow];
}

// The name of the new entry as the next start of the program reads it.
std::string nameAfterRestart()
{
    testing_support::Rig next;
    next.app.run([&] { Module1::Main(next.app); });
    return Module1::RecordName[0][kEntryRow];
}

std::vector<std::string> fileLines(const std::string& bytes)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2) {
        lines.push_back(bytes.substr(start, end - start));
    }
    EXPECT_EQ(start, bytes.size()) << "bytes after the last line end";
    return lines;
}

// Every Unicode character, in names of `length`, from U+0001 on.
std::vector<std::u32string> everyCharacterIn(std::size_t length)
{
    std::vector<std::u32string> names(1);
    for (char32_t ch = 1; ch <= 0x10FFFF; ch = ch == 0xFFFF ? 0x1F000 : ch + 1) {
        if ((ch >= 0xD800 && ch <= 0xDFFF) || ch == U'\r' || ch == U'\b') {
            continue; // no characters; Enter and Backspace are keys of their own
        }
        if (ch >= 0x1F700) {
            break; // past the emoji, one block of astral characters is enough
        }
        if (names.back().size() == length) {
            names.emplace_back();
        }
        names.back() += ch;
    }
    return names;
}

} // namespace

TEST(NameEntryInput, whatTheBoxTakesFromAnyKeyIsExactlyWhatTheFileCarriesBackAtTheNextStart)
{
    const auto names = everyCharacterIn(512);
    for (std::size_t i = 0; i < names.size(); ++i) {
        AfterGameRig rig;
        std::string inTheBox;
        const std::string stored = nameAndSave(rig, [&] {
            typeEachCharacter(rig, names[i]);
            inTheBox = nameBox(rig).text();
        });
        ASSERT_EQ(inTheBox, ui::toUtf8(accepted(names[i])))
            << "name " << i << " from U+" << std::hex << static_cast<int>(names[i].front());
        EXPECT_EQ(stored, Module1::storableName(inTheBox));
        EXPECT_EQ(nameAfterRestart(), stored) << "name " << i;
    }
}

TEST(NameEntryInput, refusedCharactersNeverReachTheFileWhetherTypedOrCommittedByAnInputMethod)
{
    const std::u32string awkward = U"  Ｔａｒｏ,\"ｶﾅ\"\t\n\x1b\x7f\u0085\u2028¥😀한\u3099\x01 山田";
    const std::u32string expected = U"Ｔａｒｏｶﾅ 山田";
    struct Way {
        const char* what;
        void (*enter)(AfterGameRig&, const std::u32string&);
    };
    for (const Way& way : {Way{"typed", [](AfterGameRig& rig, const std::u32string& text) { typeEachCharacter(rig, text); }},
                           Way{"committed", commitText}}) {
        AfterGameRig rig;
        const std::string stored = nameAndSave(rig, [&] { way.enter(rig, awkward); });
        EXPECT_EQ(stored, ui::toUtf8(expected)) << way.what;

        const auto lines = fileLines(rig.appDir.recordBytes());
        ASSERT_EQ(lines.size(), 30U) << way.what;
        EXPECT_EQ(ui::fromCp932(lines[kEntryRow]), ui::toUtf8(expected) + ", 9500") << way.what;
        EXPECT_EQ(nameAfterRestart(), stored) << way.what;
    }
}

TEST(NameEntryInput, aNameOfTenThousandCharactersSavesAndLoads)
{
    std::u32string longName;
    const std::u32string mix = U"タロウｶﾅ漢字Ａb1ー　";
    while (longName.size() < 10000) {
        longName += mix[longName.size() % mix.size()];
    }
    // Typing each of them costs a re-check of the whole box per key: the
    // typed way starts where a committed text left off.
    const std::size_t committedPart[] = {longName.size() - 100, longName.size()};
    for (const std::size_t committed : committedPart) {
        AfterGameRig rig;
        const std::string stored = nameAndSave(rig, [&] {
            commitText(rig, longName.substr(0, committed));
            typeEachCharacter(rig, std::u32string_view(longName).substr(committed));
        });
        EXPECT_EQ(stored, ui::toUtf8(longName)) << committed << " characters committed";
        EXPECT_EQ(nameAfterRestart(), stored) << committed << " characters committed";
    }
}
