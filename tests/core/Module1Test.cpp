#include "core/Module1.h"

#include "core/RecordFile.h"
#include "platform/model/Text.h"
#include "tests/support/ModelDoubles.h"
#include "tests/support/RecordFolderTest.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <memory>

namespace {

// A screen with nothing on it, standing in for the first screen of the game.
class BlankScreen : public ui::Form {
public:
    BlankScreen(ui::Application& app, std::string name) : ui::Form(app, std::move(name)) { setClientSize(4800, 3600); }
};

// An application with only the screens a test registers.
struct BareProgram {
    BareProgram() { app.setScreenSizePx(800, 600); }
    void registerBlank(const std::string& name)
    {
        app.registerForm(name, [name](ui::Application& a) { return std::make_unique<BlankScreen>(a, name); });
    }
    void runMain()
    {
        app.run([this] { Module1::Main(app); });
    }

    ui::VirtualClock clock;
    testing_support::FixedMetrics metrics;
    testing_support::SketchPictures catalog;
    ui::Application app{clock, metrics, catalog};
};

class Module1Test : public testing_support::RecordFolderTest {
protected:
    void writeRecordFile(const std::string& bytes)
    {
        QFile file(QString::fromStdString(Module1::RecordFilePath()));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    }
};

void expectDefaultTable()
{
    for (int zone = 0; zone < Module1::kZones; ++zone) {
        for (int rank = 0; rank < Module1::kRanks; ++rank) {
            EXPECT_EQ(Module1::RecordName[zone][rank], "CPU");
            EXPECT_EQ(Module1::RecordScore[zone][rank], (10 - rank) * 1000);
        }
        EXPECT_EQ(Module1::RecordName[zone][10], "");
        EXPECT_EQ(Module1::RecordScore[zone][10], 0);
    }
}

void expectCentred(const ui::Form& form)
{
    EXPECT_DOUBLE_EQ(form.left() * 2 + form.width(), form.app().screenWidthTwips());
    EXPECT_DOUBLE_EQ(form.top() * 2 + form.height(), form.app().screenHeightTwips());
}

// --- Start-up ----------------------------------------------------------------

TEST_F(Module1Test, MainWithoutARecordsFileFillsTheDefaultTableAndZeroesTheOptions)
{
    Module1::OptSpeed = 1;
    Module1::OptCase = 1;
    Module1::OptKana = 1;
    BareProgram program;
    program.registerBlank("frmTitle");

    program.runMain();

    expectDefaultTable();
    EXPECT_EQ(Module1::OptSpeed, 0);
    EXPECT_EQ(Module1::OptCase, 0);
    EXPECT_EQ(Module1::OptKana, 0);
    for (const auto& table : Module1::CharTable) {
        EXPECT_EQ(table.size(), 81U);
    }
    EXPECT_FALSE(QFile::exists(QString::fromStdString(Module1::RecordFilePath()))) << "the defaults are not saved";
}

TEST_F(Module1Test, MainOpensTheTitleCentredAndActive)
{
    BareProgram program;
    program.registerBlank("frmTitle");

    program.runMain();

    ui::Form* title = program.app.loaded("frmTitle");
    ASSERT_NE(title, nullptr);
    EXPECT_TRUE(title->visible());
    EXPECT_EQ(program.app.activeForm(), title);
    expectCentred(*title);
}

TEST_F(Module1Test, MainOpensTheTitleNotTheStage)
{
    BareProgram program;
    program.registerBlank("frmStage");
    program.registerBlank("frmTitle");

    program.runMain();

    ASSERT_NE(program.app.loaded("frmTitle"), nullptr);
    EXPECT_TRUE(program.app.loaded("frmTitle")->visible());
    expectCentred(*program.app.loaded("frmTitle"));
    EXPECT_EQ(program.app.loaded("frmStage"), nullptr);
}

TEST_F(Module1Test, MainLoadsAnExistingRecordsFile)
{
    std::string bytes;
    for (int line = 0; line < Module1::kRecordLines; ++line) {
        bytes += "P" + std::to_string(line) + ",-" + std::to_string(line * 3) + "\r\n";
    }
    writeRecordFile(bytes);
    BareProgram program;
    program.registerBlank("frmTitle");

    program.runMain();

    EXPECT_EQ(Module1::RecordName[0][0], "P0");
    EXPECT_EQ(Module1::RecordName[1][4], "P14");
    EXPECT_EQ(Module1::RecordScore[2][9], -87);
    EXPECT_EQ(Module1::RecordName[2][10], "");
    EXPECT_EQ(Module1::CharTable[0].size(), 81U);
}

TEST_F(Module1Test, MainTreatsADirectoryNamedLikeTheRecordsFileAsNoFile)
{
    ASSERT_TRUE(QDir(dir_.path()).mkdir("qorvl.dat"));
    BareProgram program;
    program.registerBlank("frmTitle");

    program.runMain();

    expectDefaultTable();
    EXPECT_NE(program.app.loaded("frmTitle"), nullptr);
}

TEST_F(Module1Test, MainStopsOnAnUnreadableRecordsFileBeforeAnyScreenIsShown)
{
    writeRecordFile("CPU, 10000\r\nCPU, lots\r\n");
    BareProgram program;
    program.registerBlank("frmTitle");

    try {
        program.runMain();
        FAIL() << "start-up went on";
    } catch (const Module1::RecordFileError& error) {
        EXPECT_EQ(error.line(), 2);
    }
    EXPECT_TRUE(program.app.openForms().empty());
    EXPECT_EQ(program.app.loaded("frmTitle"), nullptr);
    EXPECT_EQ(Module1::RecordName[0][0], "") << "no fall-back to the default table";
}

// --- CenterForm --------------------------------------------------------------

TEST(CenterForm, CentresTheWindowWithoutChangingItsSize)
{
    BareProgram program;
    program.app.setScreenSizePx(1024, 768);
    BlankScreen form(program.app, "frmTest");
    const double width = form.width();
    const double height = form.height();

    Module1::CenterForm(form);

    expectCentred(form);
    EXPECT_GT(form.left(), 0);
    EXPECT_EQ(form.width(), width);
    EXPECT_EQ(form.height(), height);
}

TEST(CenterForm, GivesANegativeLeftToAWindowWiderThanTheScreen)
{
    BareProgram program;
    program.app.setScreenSizePx(200, 150);
    BlankScreen form(program.app, "frmTest");
    ASSERT_GT(form.width(), program.app.screenWidthTwips());

    Module1::CenterForm(form);

    EXPECT_LT(form.left(), 0);
    EXPECT_LT(form.top(), 0);
    expectCentred(form);
}

// --- AppDir ------------------------------------------------------------------

TEST(AppDir, EndsInExactlyOneSlash)
{
    const std::pair<const char*, const char*> cases[] = {
        {"/opt/quorvel", "/opt/quorvel/"},
        {"/opt/quorvel/", "/opt/quorvel/"},
        {"/opt/quorvel///", "/opt/quorvel/"},
        {"/", "/"},
        {"//", "/"},
    };
    for (const auto& [dir, expected] : cases) {
        Module1::AppDirOverride = dir;
        EXPECT_EQ(Module1::AppDir(), expected) << dir;
    }
    Module1::AppDirOverride.clear();
}

TEST(AppDir, PutsTheRecordsFileDirectlyUnderTheRoot)
{
    Module1::AppDirOverride = "/";
    EXPECT_EQ(Module1::RecordFilePath(), "/qorvl.dat");
    Module1::AppDirOverride = "/games/";
    EXPECT_EQ(Module1::RecordFilePath(), "/games/qorvl.dat");
    Module1::AppDirOverride.clear();
}

TEST(AppDir, IsTheExecutablesDirectoryWithoutAnOverride)
{
    Module1::AppDirOverride.clear();
    EXPECT_EQ(Module1::AppDir(), QCoreApplication::applicationDirPath().toStdString() + "/");
}

// --- Shared state ------------------------------------------------------------

TEST(SharedState, ResetClearsEveryValueButKeepsTheDirectoryOverride)
{
    Module1::AppDirOverride = "/somewhere";
    Module1::CurrentZone = 2;
    Module1::LastScore = 5;
    Module1::RecordScore[1][10] = 7;
    Module1::RecordName[2][3] = "x";
    Module1::AvgResponse = 1.5;
    Module1::HitRate = 50;
    Module1::NewRecord = 1;
    Module1::FillCharTables();
    Module1::SidePanel = 2;
    Module1::MenuCursor = 1;
    Module1::KeepCursor = 1;
    Module1::OptSpeed = 1;
    Module1::OptCase = 1;
    Module1::OptKana = 1;

    Module1::ResetSharedState();

    ui::StateDump dump;
    Module1::DumpSharedState(dump);
    for (const auto& [key, value] : dump.lines()) {
        EXPECT_TRUE(value == "0" || value.empty()) << key << "=" << value;
    }
    for (const auto& table : Module1::CharTable) {
        EXPECT_TRUE(table.empty());
    }
    EXPECT_EQ(Module1::AppDirOverride, "/somewhere");
    Module1::AppDirOverride.clear();
}

TEST(SharedState, DefaultRecordsLeaveTheWorkingSlotAlone)
{
    Module1::ResetSharedState();
    Module1::RecordName[1][10] = "playing";
    Module1::RecordScore[1][10] = 4242;

    Module1::FillDefaultRecords();

    EXPECT_EQ(Module1::RecordName[1][0], "CPU");
    EXPECT_EQ(Module1::RecordScore[1][9], 1000);
    EXPECT_EQ(Module1::RecordName[1][10], "playing");
    EXPECT_EQ(Module1::RecordScore[1][10], 4242);
    Module1::ResetSharedState();
}

// --- Character tables --------------------------------------------------------

class CharTables : public testing::Test {
protected:
    void SetUp() override { Module1::FillCharTables(); }
    void TearDown() override { Module1::ResetSharedState(); }
    static char32_t at(int table, int position) { return Module1::CharTable[table].at(position - 1); }
    static char32_t compatible(char32_t ch)
    {
        return QString::fromUcs4(&ch, 1).normalized(QString::NormalizationForm_KC).toUcs4().front();
    }
};

TEST_F(CharTables, HoldTheTellingPositions)
{
    struct Row {
        int position;
        std::u32string_view characters; // tables 0..4
    };
    const Row rows[] = {
        {1, U"AaﾁＡａ"}, {26, U"ZzﾂＺｚ"}, {27, U"ｱ33あア"}, {28, U"ｲEeいイ"},
        {35, U"ｹ::けケ"}, {71, U"ﾝYyんン"}, {72, U"1ﾇ1１１"}, {81, U"0ﾜ0００"},
    };
    for (const Row& row : rows) {
        for (int table = 0; table < 5; ++table) {
            EXPECT_EQ(at(table, row.position), row.characters[table]) << "table " << table << " position " << row.position;
        }
    }
}

TEST_F(CharTables, HoldOneBackslashBetweenSemicolonAndZeroInTablesOneAndTwo)
{
    for (int table : {1, 2}) {
        const std::u32string& text = Module1::CharTable[table];
        const auto backslash = text.find(U'\\');
        ASSERT_NE(backslash, std::u32string::npos);
        EXPECT_EQ(text.find(U'\\', backslash + 1), std::u32string::npos);
        EXPECT_EQ(text.substr(backslash - 1, 3), U";\\0");
    }
}

TEST_F(CharTables, KeyTablesAreSingleBytesInCodePage932)
{
    for (int table = 0; table < 3; ++table) {
        for (char32_t ch : Module1::CharTable[table]) {
            const auto code = ui::cp932Code(ch);
            ASSERT_TRUE(code.has_value());
            EXPECT_LT(*code, 0x100) << "table " << table;
        }
    }
}

TEST_F(CharTables, DrawnFormsMatchTheTargetsTheyStandFor)
{
    for (int p = 1; p <= 26; ++p) {
        EXPECT_EQ(compatible(at(3, p)), at(0, p)) << p;
        EXPECT_EQ(compatible(at(4, p)), at(1, p)) << p;
    }
    for (int p = 27; p <= 71; ++p) {
        EXPECT_EQ(ui::keyAsciiFor(at(3, p)), ui::cp932Code(at(0, p))) << p;
        EXPECT_EQ(ui::keyAsciiFor(at(4, p)), ui::cp932Code(at(0, p))) << p;
    }
    for (int p = 72; p <= 81; ++p) {
        EXPECT_EQ(at(3, p), at(4, p)) << p;
        EXPECT_EQ(compatible(at(3, p)), at(0, p)) << p;
        EXPECT_EQ(at(2, p), at(0, p)) << p;
    }
    const std::u32string& targets = Module1::CharTable[0];
    for (std::size_t i = 0; i < targets.size(); ++i) {
        EXPECT_EQ(targets.find(targets[i]), i) << "every target is distinct";
    }
}

// --- Dump and set ------------------------------------------------------------

class StateAccess : public testing::Test {
protected:
    void SetUp() override { Module1::ResetSharedState(); }
    void TearDown() override { Module1::ResetSharedState(); }
    static std::string dumped(const std::string& key)
    {
        ui::StateDump dump;
        Module1::DumpSharedState(dump);
        for (const auto& [k, value] : dump.lines()) {
            if (k == key) {
                return value;
            }
        }
        return "<missing " + key + ">";
    }
    static std::string dumpText()
    {
        ui::StateDump dump;
        Module1::DumpSharedState(dump);
        return dump.text();
    }
};

TEST_F(StateAccess, DumpListsEveryValueInItsFixedOrder)
{
    ui::StateDump dump;
    Module1::DumpSharedState(dump);
    const auto& lines = dump.lines();
    ASSERT_EQ(lines.size(), 2U + 33U + 33U + 9U);
    EXPECT_EQ(lines[0].first, "Module1.CurrentZone");
    EXPECT_EQ(lines[1].first, "Module1.LastScore");
    EXPECT_EQ(lines[2].first, "Module1.RecordScore(0,0)");
    EXPECT_EQ(lines[12].first, "Module1.RecordScore(0,10)");
    EXPECT_EQ(lines[13].first, "Module1.RecordScore(1,0)");
    EXPECT_EQ(lines[35].first, "Module1.RecordName(0,0)");
    EXPECT_EQ(lines[67].first, "Module1.RecordName(2,10)");
    const char* tail[] = {"AvgResponse", "HitRate", "NewRecord", "SidePanel", "MenuCursor",
                          "KeepCursor",  "OptSpeed", "OptCase",  "OptKana"};
    for (std::size_t i = 0; i < std::size(tail); ++i) {
        EXPECT_EQ(lines[68 + i].first, std::string("Module1.") + tail[i]);
    }
}

TEST_F(StateAccess, DumpWritesNumbersAndNamesAsTheProgramShowsThem)
{
    Module1::HitRate = 66.6;
    Module1::AvgResponse = 833.3;
    Module1::RecordScore[2][10] = -15;
    Module1::RecordName[1][3] = "ｶﾅ 漢字";

    EXPECT_EQ(dumped("Module1.HitRate"), "66.6");
    EXPECT_EQ(dumped("Module1.AvgResponse"), "833.3");
    EXPECT_EQ(dumped("Module1.RecordScore(2,10)"), "-15");
    EXPECT_EQ(dumped("Module1.RecordName(1,3)"), "ｶﾅ 漢字");
}

TEST_F(StateAccess, SetAcceptsEveryDumpedValueBack)
{
    Module1::CurrentZone = 2;
    Module1::LastScore = 123456;
    Module1::RecordScore[0][10] = -2147483647 - 1;
    Module1::RecordName[2][10] = "a name, with a comma";
    Module1::AvgResponse = 0.1;
    Module1::HitRate = 99.9;
    Module1::NewRecord = 1;
    Module1::SidePanel = 2;
    Module1::MenuCursor = 1;
    Module1::KeepCursor = 1;
    Module1::OptSpeed = 1;
    Module1::OptCase = 1;
    Module1::OptKana = 0;
    ui::StateDump before;
    Module1::DumpSharedState(before);

    Module1::ResetSharedState();
    for (const auto& [key, value] : before.lines()) {
        std::string error;
        EXPECT_TRUE(Module1::SetSharedValue(key, value, error)) << key << ": " << error;
    }

    EXPECT_EQ(dumpText(), before.text());
}

TEST_F(StateAccess, SetTakesNamesWithoutTheModulePrefix)
{
    std::string error;
    EXPECT_TRUE(Module1::SetSharedValue("CurrentZone", "1", error)) << error;
    EXPECT_TRUE(Module1::SetSharedValue("HitRate", "87.5", error)) << error;
    EXPECT_TRUE(Module1::SetSharedValue("RecordScore(0,10)", "+2500", error)) << error;
    EXPECT_TRUE(Module1::SetSharedValue("RecordName(1,3)", "  two  words ", error)) << error;

    EXPECT_EQ(Module1::CurrentZone, 1);
    EXPECT_EQ(Module1::HitRate, 87.5);
    EXPECT_EQ(Module1::RecordScore[0][10], 2500);
    EXPECT_EQ(Module1::RecordName[1][3], "  two  words ");
}

TEST_F(StateAccess, SetReadsNumbersAndIndexesWithoutTheBlanksAroundThem)
{
    std::string error;
    EXPECT_TRUE(Module1::SetSharedValue("HitRate", "\t87.5 ", error)) << error;
    EXPECT_TRUE(Module1::SetSharedValue("RecordScore( 1 ,\t2 )", " 300\t", error)) << error;
    EXPECT_TRUE(Module1::SetSharedValue("RecordName(0,0)", " kept ", error)) << error;

    EXPECT_EQ(Module1::HitRate, 87.5);
    EXPECT_EQ(Module1::RecordScore[1][2], 300);
    EXPECT_EQ(Module1::RecordName[0][0], " kept ") << "a name is text, blanks and all";
}

TEST_F(StateAccess, SetRefusesBadNamesIndexesAndNumbersWithoutChangingAnything)
{
    const std::pair<const char*, const char*> refused[] = {
        {"Score", "1"},
        {"Module1.Nothing", "1"},
        {"CharTable", "x"},
        {"RecordScore(3,0)", "1"},
        {"RecordScore(0,11)", "1"},
        {"RecordName(-1,0)", "x"},
        {"RecordScore(0)", "1"},
        {"RecordScore(a,b)", "1"},
        {"RecordScore(0,1", "1"},
        {"CurrentZone", "32768"},
        {"CurrentZone", "3"},
        {"CurrentZone", "-1"},
        {"OptSpeed", "2"},
        {"MenuCursor", "3"},
        {"SidePanel", "7"},
        {"OptKana", "-32769"},
        {"LastScore", "2147483648"},
        {"RecordScore(1,1)", "-2147483649"},
        {"MenuCursor", "1.5"},
        {"LastScore", "12x"},
        {"LastScore", ""},
        {"NewRecord", "+-1"},
        {"HitRate", "abc"},
        {"HitRate", "inf"},
        {"AvgResponse", "nan"},
        {"AvgResponse", "1e999"},
    };
    const std::string before = dumpText();
    for (const auto& [name, value] : refused) {
        std::string error;
        EXPECT_FALSE(Module1::SetSharedValue(name, value, error)) << name << " " << value;
        EXPECT_FALSE(error.empty()) << name << " " << value;
    }
    EXPECT_EQ(dumpText(), before);
}

} // namespace
