// The name entry: the new score's place in the zone's ten best, the name
// typed into it, the way on to the certificate, and the save on unload.

#include "core/RecordFile.h"
#include "tests/support/AfterGameRig.h"
#include "tests/support/SaveReportRecorder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <vector>

using testing_support::AfterGameRig;
using testing_support::captionOf;

namespace {

// Ranks of zone 0 named P0..P9, so that moves can be seen by name.
void nameRanksOfZone(int zone, const std::string& prefix)
{
    for (int rank = 0; rank < 10; ++rank) {
        Module1::RecordName[zone][rank] = prefix + std::to_string(rank);
    }
}

struct Highlight {
    double top;
    double left;
    bool operator==(const Highlight&) const = default;
};

Highlight highlightOf(const ui::Form& entry)
{
    const auto& bar = entry.get<ui::Shape>("Shape1");
    return {bar.top(), bar.left()};
}

std::string textOf(const ui::Form& entry)
{
    return entry.get<ui::TextBox>("Text1").text();
}

std::vector<std::string> linesOf(const std::string& bytes)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2) {
        lines.push_back(bytes.substr(start, end - start));
    }
    return lines;
}

} // namespace

TEST(NameEntryRanking, nineThousandFiveHundredTakesSecondPlaceAndPushesTheTenthOut)
{
    AfterGameRig rig;
    nameRanksOfZone(0, "P");
    const ui::Form& entry = rig.showNameEntryFor(9500);
    EXPECT_EQ(Module1::RecordScore[0][1], 9500);
    EXPECT_EQ(Module1::RecordName[0][1], "");
    for (int slot = 2; slot <= 9; ++slot) {
        EXPECT_EQ(Module1::RecordScore[0][slot], 10000 - 1000 * (slot - 1)) << slot;
        EXPECT_EQ(Module1::RecordName[0][slot], "P" + std::to_string(slot - 1)) << slot;
    }
    EXPECT_EQ(Module1::RecordScore[0][10], 1000);
    EXPECT_EQ(Module1::RecordName[0][10], "P9");
    EXPECT_EQ(highlightOf(entry), (Highlight{840, 1380}));
    EXPECT_EQ(captionOf(entry, "Label1", 1), "") << "the new row waits for its name";
    EXPECT_EQ(captionOf(entry, "Label1", 2), "P1");
    EXPECT_EQ(captionOf(entry, "Label3", 1), "9500");
    EXPECT_EQ(captionOf(entry, "Label3", 9), "2000");
}

TEST(NameEntryRanking, theHighlightFollowsTheSlantToTheEntrysRow)
{
    struct Case {
        std::int32_t score;
        int slot;
        Highlight highlight;
    };
    for (const Case& c : {Case{12000, 0, {600, 1500}}, Case{9000, 2, {1080, 1260}}, Case{2500, 8, {2520, 540}}}) {
        AfterGameRig rig;
        const ui::Form& entry = rig.showNameEntryFor(c.score);
        EXPECT_EQ(Module1::RecordScore[0][c.slot], c.score) << c.score;
        EXPECT_EQ(highlightOf(entry), c.highlight) << c.score;
    }
}

TEST(NameEntryRanking, anEqualScoreStaysBelowTheOlderEntry)
{
    AfterGameRig rig;
    nameRanksOfZone(0, "P");
    rig.showNameEntryFor(9000);
    EXPECT_EQ(Module1::RecordName[0][1], "P1");
    EXPECT_EQ(Module1::RecordName[0][2], "");
    EXPECT_EQ(Module1::RecordScore[0][2], 9000);
}

TEST(NameEntryRanking, onlyTheZoneOfThePlayMovesAndOnlyOnce)
{
    AfterGameRig rig;
    nameRanksOfZone(0, "A");
    nameRanksOfZone(2, "C");
    ui::Form& entry = rig.showNameEntryFor(9500, 1);
    rig.type(U"AB");
    rig.showAt("frmTitle");
    rig.app.click(entry);
    ASSERT_EQ(rig.app.activeForm(), &entry);
    EXPECT_EQ(captionOf(entry, "Label1", 1), "AB") << "the typed name stays in its row";
    EXPECT_EQ(highlightOf(entry), (Highlight{840, 1380}));
    EXPECT_EQ(Module1::RecordName[1][10], "CPU");
    EXPECT_EQ(Module1::RecordScore[1][1], 9500);
    EXPECT_EQ(Module1::RecordScore[1][2], 9000) << "a second activation ranks nothing again";
    EXPECT_EQ(Module1::RecordScore[1][10], 1000);
    EXPECT_EQ(Module1::RecordName[0][1], "A1");
    EXPECT_EQ(Module1::RecordScore[2][1], 9000);
    EXPECT_EQ(Module1::RecordName[2][9], "C9");
}

TEST(NameEntryRanking, anEntryThatStoppedKeepsItsRowInATableLoadedOutOfOrder)
{
    AfterGameRig rig;
    nameRanksOfZone(0, "P");
    Module1::RecordScore[0][0] = 100;
    const ui::Form& entry = rig.showNameEntryFor(8500);
    EXPECT_EQ(Module1::RecordScore[0][0], 9000);
    EXPECT_EQ(Module1::RecordName[0][0], "P1") << "nobody else's name is blanked";
    EXPECT_EQ(Module1::RecordScore[0][2], 8500);
    EXPECT_EQ(highlightOf(entry).top, 1080);
}

TEST(NameEntryRanking, aScoreThatDoesNotRankHasNoRowToHighlightOrName)
{
    AfterGameRig rig;
    const ui::Form& entry = rig.showNameEntryFor(500);
    EXPECT_FALSE(entry.get<ui::Shape>("Shape1").visible());
    rig.type(U"Z");
    rig.pressEnter();
    EXPECT_EQ(Module1::RecordName[0][10], "Z");
    EXPECT_EQ(Module1::RecordName[0][9], "CPU");
    EXPECT_EQ(captionOf(entry, "Label1", 9), "CPU");
}

TEST(NameEntryTyping, theRowShowsTheNameAsItIsTypedAndEnterStoresIt)
{
    AfterGameRig rig;
    const ui::Form& entry = rig.showNameEntryFor(9500);
    rig.type(U"AB");
    EXPECT_EQ(captionOf(entry, "Label1", 1), "AB");
    rig.app.keyPress(8, U'\b');
    EXPECT_EQ(captionOf(entry, "Label1", 1), "A");
    rig.pressEnter();
    EXPECT_EQ(Module1::RecordName[0][1], "A");
    const ui::Form* certificate = rig.app.loaded("frmCertif");
    ASSERT_NE(certificate, nullptr);
    EXPECT_EQ(certificate->left(), entry.left() + 900);
    EXPECT_EQ(certificate->top(), entry.top() + 675);
    EXPECT_TRUE(rig.isOpen("frmNentry")) << "the name entry stays under the certificate";
}

TEST(NameEntryTyping, enterOnAnEmptyBoxStoresTheEmptyName)
{
    AfterGameRig rig;
    Module1::RecordName[0][10] = "left over";
    rig.showNameEntryFor(9500);
    rig.pressEnter();
    EXPECT_EQ(Module1::RecordName[0][1], "");
    EXPECT_TRUE(rig.isOpen("frmCertif"));
}

TEST(NameEntryTyping, enterOnThePictureBoxOpensTheCertificateWithoutStoringTheName)
{
    AfterGameRig rig;
    ui::Form& entry = rig.showNameEntryFor(9500);
    rig.type(U"AB");
    rig.app.click(entry.get<ui::PictureBox>("Picture1"));
    rig.type(U"C");
    rig.pressEnter();
    EXPECT_TRUE(rig.isOpen("frmCertif"));
    EXPECT_EQ(Module1::RecordName[0][1], "");
    EXPECT_EQ(captionOf(entry, "Label1", 1), "AB");
}

TEST(NameEntryTyping, charactersTheRecordsFileCannotCarryAreRefused)
{
    AfterGameRig rig;
    const ui::Form& entry = rig.showNameEntryFor(9500);
    rig.type(U"A,\"B\t");
    rig.app.keyPress(0x7F, U'\x7f');
    rig.app.keyPress('?', U'\U0001F600'); // an input method's character with no code page 932 form
    EXPECT_EQ(textOf(entry), "AB");
    EXPECT_EQ(captionOf(entry, "Label1", 1), "AB");
}

TEST(NameEntryTyping, theKeyPressHandlerCancelsRefusedCharactersAndPassesTheOthers)
{
    AfterGameRig rig;
    const ui::Form& entry = rig.showNameEntryFor(9500);
    const auto& handler = entry.get<ui::TextBox>("Text1").onKeyPress;
    for (int refused : std::initializer_list<int>{',', '"', '\t', '\n', 0x1B, 0x7F, 0x80, 0x8140 - 1}) {
        int key = refused;
        rig.app.run([&] { handler(key); });
        EXPECT_EQ(key, 0) << refused;
    }
    for (int accepted : std::initializer_list<int>{'A', ' ', '?', 8, 0xB1, 0x8341, 0x889F}) {
        int key = accepted;
        rig.app.run([&] { handler(key); });
        EXPECT_EQ(key, accepted) << accepted;
    }
}

TEST(NameEntryTyping, textArrivingWithoutKeyPressesIsCleanedToo)
{
    AfterGameRig rig;
    ui::Form& entry = rig.showNameEntryFor(9500);
    rig.app.run([&] { entry.get<ui::TextBox>("Text1").setText("ヤマ,ダ\r\n\"太郎\""); });
    EXPECT_EQ(textOf(entry), "ヤマダ太郎");
    EXPECT_EQ(captionOf(entry, "Label1", 1), "ヤマダ太郎");
}

TEST(NameEntryTyping, leadingBlanksAreDroppedWhenTheNameIsStored)
{
    AfterGameRig rig;
    const ui::Form& entry = rig.showNameEntryFor(9500);
    rig.type(U"  タロウ ");
    EXPECT_EQ(captionOf(entry, "Label1", 1), "  タロウ ");
    rig.pressEnter();
    EXPECT_EQ(Module1::RecordName[0][1], "タロウ ");
}

TEST(NameEntrySaving, closingTheWindowSavesTheTableWithAnEmptyName)
{
    AfterGameRig rig;
    ui::Form& entry = rig.showNameEntryFor(9500);
    rig.type(U"AB");
    rig.app.requestClose(entry);
    const auto lines = linesOf(rig.appDir.recordBytes());
    ASSERT_EQ(lines.size(), 30u);
    EXPECT_EQ(lines[1], ", 9500");
    EXPECT_EQ(lines[9], "CPU, 2000");
    EXPECT_TRUE(rig.app.finished()) << "with no window left the program ends";
}

TEST(NameEntrySaving, theSavedFileHoldsEveryZoneWithTheNamedEntryInCodePage932)
{
    AfterGameRig rig;
    nameRanksOfZone(1, "K");
    Module1::RecordScore[2][4] = -15;
    rig.showNameEntryFor(9500);
    rig.type(U"タロウ");
    rig.pressEnter();
    rig.app.requestClose(*rig.app.loaded("frmNentry"));
    const auto lines = linesOf(rig.appDir.recordBytes());
    ASSERT_EQ(lines.size(), 30u);
    EXPECT_EQ(lines[1], "\x83\x5E\x83\x8D\x83\x45, 9500");
    EXPECT_EQ(lines[0], "CPU, 10000");
    for (int rank = 0; rank < 10; ++rank) {
        EXPECT_EQ(lines[10 + rank], "K" + std::to_string(rank) + ", " + std::to_string(10000 - 1000 * rank));
    }
    EXPECT_EQ(lines[24], "CPU,-15");
}

// A folder that cannot hold the records file, for root too.
std::string blockedAppDir(const AfterGameRig& rig)
{
    const std::string blocked = (rig.appDir.path() / "not-a-directory").string();
    std::ofstream(blocked) << "x";
    return blocked;
}

// Plays a name entry for `score` through to the title, naming it `name`.
void enterAndLeave(AfterGameRig& rig, std::int32_t score, std::u32string_view name)
{
    rig.showNameEntryFor(score);
    rig.type(name);
    rig.pressEnter();
    rig.pressEnter(); // on the certificate: back to the title, which unloads the name entry
}

TEST(NameEntrySaving, aSaveThatFailsIsReportedWithThePathAndTheGameGoesOnWithItsTable)
{
    AfterGameRig rig;
    testing_support::SaveReportRecorder recorder;
    const std::string blocked = blockedAppDir(rig);
    Module1::AppDirOverride = blocked;

    enterAndLeave(rig, 9500, U"ABC");

    ASSERT_EQ(recorder.reports.size(), 1u);
    EXPECT_EQ(recorder.reports[0].path, blocked + "/qorvl.dat");
    EXPECT_EQ(recorder.reports[0].action, Module1::RecordFileError::Action::Write);
    EXPECT_NE(recorder.reports[0].message.find(blocked), std::string::npos);
    EXPECT_NE(recorder.reports[0].message.find(recorder.reports[0].reason), std::string::npos);
    EXPECT_TRUE(rig.isOpen("frmTitle")) << "the game goes on";
    EXPECT_FALSE(rig.isOpen("frmNentry"));
    EXPECT_EQ(Module1::RecordName[0][1], "ABC");
    EXPECT_EQ(Module1::RecordScore[0][1], 9500);
    EXPECT_TRUE(Module1::HasUnsavedRecords());
}

TEST(NameEntrySaving, theNextSaveAfterAFailedOneSavesTheWholeTable)
{
    AfterGameRig rig;
    testing_support::SaveReportRecorder recorder;
    const std::string scratch = Module1::AppDirOverride;
    Module1::AppDirOverride = blockedAppDir(rig);
    enterAndLeave(rig, 9500, U"First");
    Module1::AppDirOverride = scratch;

    enterAndLeave(rig, 5500, U"Second");

    EXPECT_EQ(recorder.reports.size(), 1u);
    const auto lines = linesOf(rig.appDir.recordBytes());
    ASSERT_EQ(lines.size(), 30u);
    EXPECT_EQ(lines[1], "First, 9500");
    EXPECT_EQ(lines[6], "Second, 5500");
    EXPECT_FALSE(Module1::HasUnsavedRecords());
}

TEST(NameEntrySaving, theEndOfTheProgramSavesWhatAFailedSaveLeftAndReportsOnceMoreIfItStillFails)
{
    AfterGameRig rig;
    testing_support::SaveReportRecorder recorder;
    const std::string scratch = Module1::AppDirOverride;
    Module1::AppDirOverride = blockedAppDir(rig);
    enterAndLeave(rig, 9500, U"Kept");
    ASSERT_EQ(recorder.reports.size(), 1u);

    EXPECT_FALSE(Module1::SaveUnsavedRecords());
    EXPECT_EQ(recorder.reports.size(), 2u) << "each try that fails is reported";

    Module1::AppDirOverride = scratch;
    EXPECT_TRUE(Module1::SaveUnsavedRecords());
    EXPECT_EQ(linesOf(rig.appDir.recordBytes()).at(1), "Kept, 9500");
    EXPECT_TRUE(Module1::SaveUnsavedRecords()) << "nothing left to save";
    EXPECT_EQ(recorder.reports.size(), 2u);
}

TEST(NameEntrySaving, recordsAnotherCopySavedMeanwhileAreKeptAndTakenIntoTheTable)
{
    AfterGameRig rig;
    ui::Form& entry = rig.showNameEntryFor(9500);
    rig.type(U"Mine");
    rig.pressEnter();
    ASSERT_EQ(entry.get<ui::Label>("Label1", 1).caption(), "Mine");
    // Another copy, started from the same table, saved 9800 meanwhile.
    Module1::RecordTable theirs;
    for (int zone = 0; zone < 3; ++zone) {
        for (int rank = 0; rank < 10; ++rank) {
            theirs.names[zone][rank] = "CPU";
            theirs.scores[zone][rank] = 10000 - 1000 * rank;
        }
    }
    Module1::EnteredRecord other{0, 9800, "Other"};
    Module1::bubbleIn(theirs, other);
    std::ofstream(rig.appDir.recordFile(), std::ios::binary) << Module1::formatRecords(theirs);

    rig.app.requestClose(entry);

    const auto lines = linesOf(rig.appDir.recordBytes());
    ASSERT_EQ(lines.size(), 30u);
    EXPECT_EQ(lines[1], "Other, 9800");
    EXPECT_EQ(lines[2], "Mine, 9500");
    EXPECT_EQ(lines[9], "CPU, 3000");
    EXPECT_EQ(Module1::RecordName[0][1], "Other");
    EXPECT_EQ(Module1::RecordName[0][2], "Mine");
}
