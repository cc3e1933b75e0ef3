// The replay driver's own contract: commands, line numbers in failures, the
// dump's shape. What the screens do is tested with the screens.

#include "app/ProgramDump.h"
#include "core/Module1.h"
#include "tools/replay/ReplaySession.h"
#include "tools/replay/qt/QtSnapshotPainter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::filesystem::path scratchDir(const char* name)
{
    auto dir = std::filesystem::temp_directory_path() / "quorvel-replay-test" / name;
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

std::optional<replay::Failure> play(replay::ReplaySession& session, const std::string& script)
{
    std::istringstream in(script);
    return session.run(in);
}

} // namespace

TEST(ReplayScripts, skipCommentsAndBlankLinesAndReportTheLineOfAFailure)
{
    const auto dir = scratchDir("lines");
    replay::QtSnapshotPainter painter;
    replay::ReplaySession session(dir, dir, painter);
    const auto failure = play(session, "# a comment\n\nseed 3\nfrobnicate now\n");
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->line, 4);
    EXPECT_NE(failure->message.find("unknown command"), std::string::npos);
}

TEST(ReplayScripts, anExpectationThatFailsNamesWhatTheDumpHas)
{
    const auto dir = scratchDir("expect");
    replay::QtSnapshotPainter painter;
    replay::ReplaySession session(dir, dir, painter);
    const auto failure = play(session, "set CurrentZone 2\nexpect Module1.CurrentZone=1\n");
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->line, 2);
    EXPECT_NE(failure->message.find("Module1.CurrentZone=2"), std::string::npos);
    EXPECT_FALSE(play(session, "expect Module1.CurrentZone=2\n").has_value());
}

TEST(ReplayScripts, setRefusesUnknownNamesAndBadIndexes)
{
    const auto dir = scratchDir("set");
    replay::QtSnapshotPainter painter;
    replay::ReplaySession session(dir, dir, painter);
    EXPECT_TRUE(play(session, "set Nonsense 1\n").has_value());
    EXPECT_TRUE(play(session, "set RecordScore(3,0) 1\n").has_value());
    EXPECT_FALSE(play(session, "set RecordName(1,3) ＡＢ Ｃ\nexpect Module1.RecordName(1,3)=ＡＢ Ｃ\n").has_value());
}

TEST(ReplayScripts, startOpensTheFirstScreenCentredAndActive)
{
    const auto dir = scratchDir("start");
    replay::QtSnapshotPainter painter;
    replay::ReplaySession session(dir, dir, painter);
    ASSERT_FALSE(play(session, "screen 1024 768\nstart\n").has_value());
    const auto open = session.app().openForms();
    ASSERT_EQ(open.size(), 1u);
    const ui::Form& first = *open.front();
    EXPECT_EQ(session.app().activeForm(), &first);
    EXPECT_FLOAT_EQ(static_cast<float>(first.left()), (15360.0f - static_cast<float>(first.width())) / 2);
    const std::string dump = wiring::dumpProgram(session.app()).text();
    EXPECT_NE(dump.find("open=" + first.name() + "\n"), std::string::npos);
    EXPECT_NE(dump.find("active=" + first.name() + "\n"), std::string::npos);
    EXPECT_NE(dump.find("Module1.RecordName(2,9)=CPU\n"), std::string::npos);
    EXPECT_TRUE(play(session, "start\n").has_value()) << "the program starts once";
}

TEST(ReplayScripts, unknownKeysAndClosedWindowsAreErrorsNotCrashes)
{
    const auto dir = scratchDir("errors");
    replay::QtSnapshotPainter painter;
    replay::ReplaySession session(dir, dir, painter);
    EXPECT_TRUE(play(session, "key F13\n").has_value());
    EXPECT_TRUE(play(session, "close frmStage\n").has_value());
    EXPECT_TRUE(play(session, "click frmNothing.Picture1\n").has_value());
    EXPECT_TRUE(play(session, "wait soon\n").has_value());
    EXPECT_TRUE(play(session, "hit\n").has_value());
}

TEST(ReplayScripts, snapWritesTheDumpAndAPicturePerOpenWindow)
{
    const auto dir = scratchDir("snap");
    replay::QtSnapshotPainter painter;
    replay::ReplaySession session(dir, dir / "out", painter);
    ASSERT_FALSE(play(session, "start\nsnap first\n").has_value());
    EXPECT_TRUE(std::filesystem::exists(dir / "out" / "first.txt"));
    const std::string name = session.app().openForms().front()->name();
    EXPECT_TRUE(std::filesystem::exists(dir / "out" / ("first-" + name + ".png")));
}

TEST(ReplayScripts, withoutPicturesSnapWritesTheDumpAndSaysSoOnce)
{
    const auto dir = scratchDir("snap-without-pictures");
    std::ostringstream note;
    replay::NoPictures painter(note);
    replay::ReplaySession session(dir, dir / "out", painter);
    ASSERT_FALSE(play(session, "start\nsnap first\nkey Enter\nsnap second\n").has_value());
    EXPECT_TRUE(std::filesystem::exists(dir / "out" / "first.txt"));
    EXPECT_TRUE(std::filesystem::exists(dir / "out" / "second.txt"));
    for (const auto& entry : std::filesystem::directory_iterator(dir / "out")) {
        EXPECT_NE(entry.path().extension(), ".png") << entry.path();
    }
    EXPECT_EQ(note.str(), "quorvel-replay: this build draws no pictures; snap writes the dumps only\n");
}

TEST(ReplayScripts, aKeyWhoseKeyDownOpensAnotherWindowTypesNothingThere)
{
    const auto dir = scratchDir("keydown-moves-on");
    replay::QtSnapshotPainter painter;
    replay::ReplaySession session(dir, dir, painter);
    // Enter on the zone select opens the stage on key-down; the typed Enter
    // must not also start the game on the new stage.
    ASSERT_FALSE(play(session, "start\nshow frmZone\nkey Enter\n"
                               "expect active=frmStage\nexpect frmStage.Label5(0).Visible=1\n")
                     .has_value());
}

TEST(ReplayScripts, hitAndMissTypeWhatTheStageSays)
{
    const auto dir = scratchDir("hit-and-miss");
    replay::QtSnapshotPainter painter;
    replay::ReplaySession session(dir, dir, painter);
    const auto notOpen = play(session, "seed 4\nstart\nhit\n");
    ASSERT_TRUE(notOpen.has_value());
    EXPECT_EQ(notOpen->message, "hit: the stage is not open");
    EXPECT_FALSE(play(session, "show frmStage\nkey Space\nhit\nmiss\nhit\n"
                               "expect frmStage.Hits=2\nexpect frmStage.Strokes=3\n")
                     .has_value());
}

TEST(ReplayScripts, theUsageListsEveryCommandWithItsArguments)
{
    const std::string usage = replay::ReplaySession::usage();
    EXPECT_TRUE(usage.starts_with("usage: quorvel-replay SCRIPT [OUTDIR]\n"));
    std::vector<std::string> listed;
    std::istringstream lines(usage);
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with("  ")) {
            listed.push_back(line.substr(2, line.find("  ", 2) - 2));
        }
    }
    const std::vector<std::string> commands = {
        "seed N", "appdir DIR", "start", "key NAME", "type TEXT", "hit", "miss", "wait MS",
        "click FORM[.CONTROL]", "close FORM", "set NAME VALUE", "show FORM", "snap NAME",
        "expect LINE", "screen W H", "scale N", "expectfile FILE TEXT", "record PLAYFILE",
    };
    EXPECT_EQ(listed, commands);
}

TEST(ReplayScripts, aSaveThatFailsPrintsTheGamesLineAndTheScriptGoesOn)
{
    const auto dir = scratchDir("failed-save");
    replay::QtSnapshotPainter painter;
    replay::ReplaySession session(dir, dir, painter);
    const std::string missing = (dir / "missing").string();
    const std::string entry =
        "set RecordScore(0,10) 9500\nset NewRecord 1\nshow frmNentry\ntype Kept\nkey Enter\nkey Enter\n";

    testing::internal::CaptureStderr();
    const auto failure = play(session, "appdir missing\nstart\n" + entry + "expect Module1.RecordName(0,1)=Kept\n");
    const std::string errors = testing::internal::GetCapturedStderr();

    EXPECT_FALSE(failure.has_value()) << failure->line << ": " << failure->message;
    EXPECT_EQ(errors, "quorvel: The records file \"" + missing +
                          "/qorvl.dat\" cannot be written: No such file or directory.\n");
    EXPECT_FALSE(play(session, "appdir .\n" + entry + "expectfile qorvl.dat Kept, 9500\n").has_value())
        << "the next save writes the whole table";
}
