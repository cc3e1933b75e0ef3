#include "core/RecordFile.h"

#include "platform/model/Text.h"
#include "tests/support/RecordFolderTest.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <limits>
#include <random>
#include <sys/resource.h>

namespace {

using Module1::RecordFileError;

std::string numberedLines(int first, int count)
{
    std::string out;
    for (int i = first; i < first + count; ++i) {
        out += "N" + std::to_string(i) + ", " + std::to_string(i) + "\r\n";
    }
    return out;
}

std::vector<std::string> splitCrLf(const std::string& bytes)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = bytes.find("\r\n", start)) != std::string::npos; start = end + 2) {
        lines.push_back(bytes.substr(start, end - start));
    }
    EXPECT_EQ(start, bytes.size()) << "bytes after the last line end";
    return lines;
}

void setRecord(int line, std::string name, std::int32_t score)
{
    Module1::RecordName[line / Module1::kRanks][line % Module1::kRanks] = std::move(name);
    Module1::RecordScore[line / Module1::kRanks][line % Module1::kRanks] = score;
}

std::string formattedLine(int line)
{
    return splitCrLf(Module1::formatRecords()).at(static_cast<std::size_t>(line));
}

class RecordFileTest : public testing_support::RecordFolderTest {
protected:

    static void writeFile(const std::string& path, const std::string& bytes)
    {
        QFile file(QString::fromStdString(path));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(bytes.data(), static_cast<qint64>(bytes.size())), static_cast<qint64>(bytes.size()));
    }
    static std::string readFile(const std::string& path)
    {
        QFile file(QString::fromStdString(path));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path;
        return file.readAll().toStdString();
    }
    QStringList filesInDirectory() const
    {
        return QDir(dir_.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }
};

// --- Writing ----------------------------------------------------------------

TEST_F(RecordFileTest, SavingTheDefaultTableWritesThirtyCpuLinesFrom10000Down)
{
    Module1::FillDefaultRecords();
    Module1::SaveRecords();

    const std::string bytes = readFile(Module1::RecordFilePath());
    EXPECT_TRUE(bytes.starts_with("CPU, 10000\r\nCPU, 9000\r\n"));
    const auto lines = splitCrLf(bytes);
    ASSERT_EQ(lines.size(), 30U);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i], "CPU, " + std::to_string((10 - i % 10) * 1000)) << "line " << i + 1;
    }
    EXPECT_TRUE(bytes.ends_with("CPU, 1000\r\n"));
}

TEST_F(RecordFileTest, WritesTheSignPositionAsABlankOrAMinus)
{
    setRecord(0, "Zero", 0);
    setRecord(1, "AB", -15);
    setRecord(2, "", 4321);
    setRecord(3, "Max", 2147483647);
    setRecord(4, "Min", -2147483647 - 1);

    EXPECT_EQ(formattedLine(0), "Zero, 0");
    EXPECT_EQ(formattedLine(1), "AB,-15");
    EXPECT_EQ(formattedLine(2), ", 4321");
    EXPECT_EQ(formattedLine(3), "Max, 2147483647");
    EXPECT_EQ(formattedLine(4), "Min,-2147483648");
}

TEST_F(RecordFileTest, WritesNamesInCodePage932)
{
    setRecord(10, "ｶﾅ漢字", 5);
    EXPECT_EQ(formattedLine(10), "\xB6\xC5\x8A\xBF\x8E\x9A, 5");
}

TEST_F(RecordFileTest, NeverWritesTheWorkingSlot)
{
    Module1::FillDefaultRecords();
    for (int zone = 0; zone < Module1::kZones; ++zone) {
        Module1::RecordName[zone][10] = "SLOT10";
        Module1::RecordScore[zone][10] = 777;
    }
    const std::string bytes = Module1::formatRecords();
    EXPECT_EQ(bytes.find("SLOT10"), std::string::npos);
    EXPECT_EQ(bytes.find("777"), std::string::npos);
}

TEST_F(RecordFileTest, WritesANameThatWouldBreakTheFileInItsStorableForm)
{
    setRecord(0, " Smith, John\r\n\"Jr\"", 10);
    const auto lines = splitCrLf(Module1::formatRecords());
    ASSERT_EQ(lines.size(), 30U);
    EXPECT_EQ(lines[0], "Smith JohnJr, 10");
}

TEST_F(RecordFileTest, SaveReplacesTheWholeOldFileAndLeavesNoTemporaryFile)
{
    writeFile(Module1::RecordFilePath(), numberedLines(0, 45));
    Module1::FillDefaultRecords();
    Module1::SaveRecords();

    EXPECT_EQ(readFile(Module1::RecordFilePath()), Module1::formatRecords());
    EXPECT_EQ(filesInDirectory(), QStringList{"qorvl.dat"});
}

TEST_F(RecordFileTest, SaveIntoADirectoryThatCannotExistThrowsWithThePathAndReason)
{
    // Tests run as root, which writes through permission bits; a directory
    // whose parent is a regular file fails for root as well.
    const std::string blocker = dir_.path().toStdString() + "/not-a-directory";
    writeFile(blocker, "x");
    Module1::AppDirOverride = blocker + "/inner";
    Module1::FillDefaultRecords();

    try {
        Module1::SaveRecords();
        FAIL() << "saving succeeded";
    } catch (const RecordFileError& error) {
        EXPECT_EQ(error.action(), RecordFileError::Action::Write);
        EXPECT_EQ(error.path(), blocker + "/inner/qorvl.dat");
        EXPECT_EQ(error.line(), 0);
        EXPECT_FALSE(error.reason().empty());
        EXPECT_NE(std::string(error.what()).find(error.path()), std::string::npos);
        EXPECT_NE(std::string(error.what()).find(error.reason()), std::string::npos);
    }
    EXPECT_EQ(readFile(blocker), "x");
}

// Writes beyond `bytes` fail with EFBIG instead of raising SIGXFSZ, as a
// full disk would fail them.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &old_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{bytes, old_.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit old_{};
    void (*oldHandler_)(int) = nullptr;
};

TEST_F(RecordFileTest, ASaveThatFailsPartWayLeavesTheOldFileIntact)
{
    const std::string old = numberedLines(0, 30);
    writeFile(Module1::RecordFilePath(), old);
    Module1::FillDefaultRecords();
    for (int line = 0; line < Module1::kRecordLines; ++line) {
        setRecord(line, std::string(200, 'x'), line);
    }

    std::string reason;
    {
        const FileSizeLimit limit(64);
        try {
            Module1::SaveRecords();
        } catch (const RecordFileError& error) {
            reason = error.reason();
        }
    }
    EXPECT_EQ(reason, std::strerror(EFBIG)) << "the save must fail with the system's reason";
    EXPECT_EQ(readFile(Module1::RecordFilePath()), old);
    EXPECT_EQ(filesInDirectory(), QStringList{"qorvl.dat"});
}

// --- Reading ----------------------------------------------------------------

TEST_F(RecordFileTest, LoadingLeavesTheWorkingSlotUntouched)
{
    for (int zone = 0; zone < Module1::kZones; ++zone) {
        Module1::RecordName[zone][10] = "working";
        Module1::RecordScore[zone][10] = 1234 + zone;
    }
    writeFile(Module1::RecordFilePath(), numberedLines(0, 30));

    Module1::LoadRecords();

    for (int zone = 0; zone < Module1::kZones; ++zone) {
        EXPECT_EQ(Module1::RecordName[zone][10], "working");
        EXPECT_EQ(Module1::RecordScore[zone][10], 1234 + zone);
    }
}

TEST_F(RecordFileTest, LinesAfterTheThirtiethAreIgnoredAndGoneAfterTheNextSave)
{
    writeFile(Module1::RecordFilePath(), numberedLines(0, 30) + "Extra, 99999\r\ngarbage without comma\r\n\x81");

    Module1::LoadRecords();
    EXPECT_EQ(Module1::RecordName[2][9], "N29");
    EXPECT_EQ(Module1::RecordScore[2][9], 29);
    Module1::SaveRecords();

    EXPECT_EQ(readFile(Module1::RecordFilePath()), numberedLines(0, 30));
}

std::string replaceAll(std::string text, std::string_view from, std::string_view to)
{
    for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size()) {
        text.replace(at, from.size(), to);
    }
    return text;
}

TEST(ParseRecords, AcceptsTheSameTableWrittenWithOtherLineEndsAndBlanks)
{
    const std::string canonical = numberedLines(0, 30);
    const auto expected = Module1::parseRecords(canonical);
    ASSERT_TRUE(expected.ok());
    EXPECT_EQ(expected.table.names[1][2], "N12");
    EXPECT_EQ(expected.table.scores[1][2], 12);

    const std::pair<const char*, std::string> variants[] = {
        {"lone LF line ends", replaceAll(canonical, "\r\n", "\n")},
        {"lone CR line ends", replaceAll(canonical, "\r\n", "\r")},
        {"no line end after the last line", canonical.substr(0, canonical.size() - 2)},
        {"blanks and tabs around scores", replaceAll(replaceAll(canonical, ", ", ", \t  "), "\r\n", " \t\r\n")},
        {"plus signs and leading zeros", replaceAll(canonical, ", ", ",+000")},
        {"names and scores on lines of their own", replaceAll(canonical, ", ", "\r\n")},
    };
    for (const auto& [what, bytes] : variants) {
        const auto parsed = Module1::parseRecords(bytes);
        ASSERT_TRUE(parsed.ok()) << what << ": line " << parsed.error->line << ": " << parsed.error->reason;
        EXPECT_EQ(parsed.table.names, expected.table.names) << what;
        EXPECT_EQ(parsed.table.scores, expected.table.scores) << what;
    }
}

TEST(ParseRecords, TakesNamesAsTheyComeIncludingBlanksQuotesAndNulBytes)
{
    const std::string bytes =
        "  lead,1\r\n\"quoted\",2\r\n" + std::string("nul\0inside", 10) + ",3\r\n" + numberedLines(3, 27);
    const auto parsed = Module1::parseRecords(bytes);
    ASSERT_TRUE(parsed.ok()) << parsed.error->reason;
    EXPECT_EQ(parsed.table.names[0][0], "  lead");
    EXPECT_EQ(parsed.table.names[0][1], "\"quoted\"");
    EXPECT_EQ(parsed.table.names[0][2], std::string("nul\0inside", 10));
}

TEST(ParseRecords, CopesWithAHugeName)
{
    const std::string huge(4 * 1024 * 1024, 'W');
    const auto parsed = Module1::parseRecords(huge + ", 1\r\n" + numberedLines(1, 29));
    ASSERT_TRUE(parsed.ok());
    EXPECT_EQ(parsed.table.names[0][0].size(), huge.size());
    EXPECT_EQ(parsed.table.names[2][9], "N29");
}

struct UnreadableFile {
    const char* what;
    std::string bytes;
    int line;
    std::string reason = {}; // checked when given
};

constexpr const char* kNoComma = "no comma between the name and the score";
constexpr const char* kSecondComma = "a second comma; only one may stand between the name and the score";

std::string onLine(int line, const char* fault)
{
    return "line " + std::to_string(line) + " has " + fault;
}

std::vector<UnreadableFile> unreadableFiles()
{
    const std::string digits(5000, '9');
    return {
        {"an empty file", "", 1},
        {"a file of 29 records", numberedLines(0, 29), 30},
        {"a last name without comma or score", numberedLines(0, 29) + "CPU", 30,
         "the file ends where the score of record 30 is expected; it must hold 30 records of a name, a comma and a "
         "score"},
        {"a last comma without a score", numberedLines(0, 29) + "CPU,", 30},
        {"an empty score", numberedLines(0, 4) + "CPU,\r\n" + numberedLines(5, 25), 5},
        {"a score of blanks", numberedLines(0, 4) + "CPU,  \r\n" + numberedLines(5, 25), 5},
        {"a score with letters", numberedLines(0, 6) + "CPU, 12x\r\n" + numberedLines(7, 23), 7,
         "expected a score, a whole number from -2147483648 to 2147483647, but found \" 12x\""},
        {"a score with a decimal point", numberedLines(0, 6) + "CPU, 1.5\r\n" + numberedLines(7, 23), 7},
        {"a score with two signs", numberedLines(0, 7) + "CPU, +-5\r\n" + numberedLines(8, 22), 8},
        {"a score with a blank inside", numberedLines(0, 7) + "CPU, 1 2\r\n" + numberedLines(8, 22), 8},
        {"a score with a NUL byte", numberedLines(0, 7) + std::string("CPU, 1\0", 7) + "\r\n" + numberedLines(8, 22), 8},
        {"a score just above 32 bits", numberedLines(0, 2) + "CPU, 2147483648\r\n" + numberedLines(3, 27), 3},
        {"a score just below 32 bits", "CPU,-2147483649\r\n" + numberedLines(1, 29), 1},
        {"a score of thousands of digits", numberedLines(0, 9) + "CPU, " + digits + "\r\n" + numberedLines(10, 20), 10},
        {"a name that is not code page 932", numberedLines(0, 11) + "\x81\x20" "BAD, 5\r\n" + numberedLines(12, 18), 12},
        {"a name ending in a lone lead byte", numberedLines(0, 19) + "AB\x81, 5\r\n" + numberedLines(20, 10), 20},
        {"a line without a comma (its score is the next line's name)",
         numberedLines(0, 3) + "CPU 100\r\n" + numberedLines(4, 26), 4, onLine(4, kNoComma)},
        {"a last line without a comma", numberedLines(0, 29) + "CPU 100\r\n", 30, onLine(30, kNoComma)},
        {"a name holding a comma", numberedLines(0, 2) + "Smith, John, 100\r\n" + numberedLines(3, 27), 3,
         onLine(3, kSecondComma)},
        {"a comma after the score", numberedLines(0, 5) + "CPU, 100,\r\n" + numberedLines(6, 24), 6,
         onLine(6, kSecondComma)},
        {"a second score after a comma", numberedLines(0, 5) + "CPU, 100, 200\r\n" + numberedLines(6, 24), 6,
         onLine(6, kSecondComma)},
    };
}

TEST(ParseRecords, ReportsTheLineWhereAnUnreadableFileStopsMakingSense)
{
    for (const auto& file : unreadableFiles()) {
        const auto parsed = Module1::parseRecords(file.bytes);
        ASSERT_FALSE(parsed.ok()) << file.what;
        EXPECT_EQ(parsed.error->line, file.line) << file.what;
        EXPECT_FALSE(parsed.error->reason.empty()) << file.what;
        if (!file.reason.empty()) {
            EXPECT_EQ(parsed.error->reason, file.reason) << file.what;
        }
        EXPECT_LT(parsed.error->reason.size(), 200U) << file.what << ": the reason quotes too much";
    }
}

TEST_F(RecordFileTest, AnUnreadableFileThrowsAndChangesNeitherTheTableNorTheFile)
{
    for (const auto& file : unreadableFiles()) {
        Module1::FillDefaultRecords();
        Module1::RecordName[1][3] = "kept";
        writeFile(Module1::RecordFilePath(), file.bytes);

        try {
            Module1::LoadRecords();
            ADD_FAILURE() << file.what << " was loaded";
        } catch (const RecordFileError& error) {
            EXPECT_EQ(error.action(), RecordFileError::Action::Read) << file.what;
            EXPECT_EQ(error.path(), Module1::RecordFilePath()) << file.what;
            EXPECT_EQ(error.line(), file.line) << file.what;
            const std::string message = error.what();
            EXPECT_NE(message.find(error.path()), std::string::npos) << message;
            const std::string line = "line " + std::to_string(file.line);
            EXPECT_NE(message.find(": " + (file.reason.empty() ? line + ": " : file.reason + ".")), std::string::npos)
                << message;
        }
        EXPECT_EQ(Module1::RecordName[1][3], "kept") << file.what;
        EXPECT_EQ(Module1::RecordName[0][0], "CPU") << file.what;
        EXPECT_EQ(Module1::RecordScore[0][0], 10000) << file.what;
        EXPECT_EQ(readFile(Module1::RecordFilePath()), file.bytes) << file.what;
    }
}

TEST_F(RecordFileTest, LoadingAMissingFileThrowsWithTheSystemsReason)
{
    try {
        Module1::LoadRecords();
        FAIL() << "a missing file was loaded";
    } catch (const RecordFileError& error) {
        EXPECT_EQ(error.line(), 0);
        EXPECT_FALSE(error.reason().empty());
        EXPECT_EQ(std::string(error.what()).find("line"), std::string::npos);
    }
}

// --- Names ------------------------------------------------------------------

TEST(NameRule, RefusesCharactersTheFileCannotCarryUnchanged)
{
    for (char32_t refused : {U',', U'"', U'\r', U'\n', U'\t', U'\0', char32_t{0x7F}, char32_t{0x85}, U'😀', U'한',
                             char32_t{0x2028}, U'¥' /* code page 932 would read it back as a backslash */}) {
        EXPECT_FALSE(Module1::isAcceptedNameCharacter(refused)) << std::hex << static_cast<int>(refused);
    }
    for (char32_t accepted : {U'A', U' ', U'~', U'\\', U'ｱ', U'あ', U'ア', U'漢', U'Ａ', U'\u3000', U'ー', U'①'}) {
        EXPECT_TRUE(Module1::isAcceptedNameCharacter(accepted)) << std::hex << static_cast<int>(accepted);
    }
}

TEST(NameRule, StorableNameDropsRefusedCharactersAndLeadingBlanks)
{
    EXPECT_EQ(Module1::storableName("  \u3000Bob"), "Bob");
    EXPECT_EQ(Module1::storableName(" , Bob"), "Bob");
    EXPECT_EQ(Module1::storableName("Bo b \u3000 "), "Bo b \u3000 ");
    EXPECT_EQ(Module1::storableName("A,B\"C\r\nD\tE"), "ABCDE");
    EXPECT_EQ(Module1::storableName("ﾀﾛｳ😀太郎"), "ﾀﾛｳ太郎");
    EXPECT_EQ(Module1::storableName("\xFF\xFE"), "");
    EXPECT_EQ(Module1::storableName("   "), "");
}

std::u32string acceptedBmpCharacters()
{
    std::u32string accepted;
    for (char32_t ch = 0; ch < 0x10000; ++ch) {
        if (Module1::isAcceptedNameCharacter(ch)) {
            accepted += ch;
        }
    }
    return accepted;
}

void expectNamesSurviveTheFile(const std::vector<std::string>& rawNames)
{
    std::vector<std::string> stored;
    for (int line = 0; line < Module1::kRecordLines; ++line) {
        stored.push_back(Module1::storableName(rawNames[static_cast<std::size_t>(line) % rawNames.size()]));
        setRecord(line, stored.back(), line);
    }
    const auto parsed = Module1::parseRecords(Module1::formatRecords());
    ASSERT_TRUE(parsed.ok()) << parsed.error->line << ": " << parsed.error->reason;
    for (int line = 0; line < Module1::kRecordLines; ++line) {
        EXPECT_EQ(parsed.table.names[line / 10][line % 10], stored[static_cast<std::size_t>(line)]);
        EXPECT_EQ(Module1::storableName(stored[static_cast<std::size_t>(line)]), stored[static_cast<std::size_t>(line)])
            << "a stored name must already be storable";
    }
}

TEST_F(RecordFileTest, EveryCharacterTheNameRuleAcceptsSurvivesTheFile)
{
    const std::u32string accepted = acceptedBmpCharacters();
    EXPECT_GT(accepted.size(), 7000U);
    std::vector<std::string> names;
    const std::size_t share = accepted.size() / Module1::kRecordLines + 1;
    for (std::size_t at = 0; at < accepted.size(); at += share) {
        names.push_back(ui::toUtf8(accepted.substr(at, share)));
    }
    expectNamesSurviveTheFile(names);
}

class NameGenerator {
public:
    explicit NameGenerator(unsigned seed) : random_(seed) {}

    std::string next(std::size_t maxLength)
    {
        std::u32string name;
        const std::size_t length = std::uniform_int_distribution<std::size_t>(0, maxLength)(random_);
        for (std::size_t i = 0; i < length; ++i) {
            name += character();
        }
        return ui::toUtf8(name);
    }

private:
    char32_t between(std::uint32_t first, std::uint32_t last)
    {
        return std::uniform_int_distribution<std::uint32_t>(first, last)(random_);
    }
    char32_t character()
    {
        static constexpr char32_t kAwkward[] = {U',', U'"', U'\r', U'\n', U'\t', U'\0', U' ', U'\u3000', U'¥', U'😀', U'\\'};
        switch (std::uniform_int_distribution<int>(0, 6)(random_)) {
        case 0: return between(0x20, 0x7E);
        case 1: return between(0x3041, 0x3096);
        case 2: return between(0x30A1, 0x30FC);
        case 3: return between(0xFF61, 0xFF9F);
        case 4: return between(0x4E00, 0x9FA0);
        case 5: return between(0xFF01, 0xFF5E);
        default: return kAwkward[between(0, static_cast<std::uint32_t>(std::size(kAwkward)) - 1)];
        }
    }

    std::mt19937 random_;
};

TEST_F(RecordFileTest, EveryNameStorableNameProducesSurvivesSaveAndLoad)
{
    NameGenerator generator(2024);
    for (int round = 0; round < 40; ++round) {
        std::vector<std::string> names;
        for (int i = 0; i < Module1::kRecordLines; ++i) {
            names.push_back(generator.next(30));
        }
        expectNamesSurviveTheFile(names);
    }
}

TEST_F(RecordFileTest, TenThousandCharacterNamesAndEveryScoreSurviveSaveAndLoadThroughTheDisk)
{
    NameGenerator generator(99);
    std::mt19937 random(7);
    std::uniform_int_distribution<std::int32_t> anyScore(std::numeric_limits<std::int32_t>::min(),
                                                         std::numeric_limits<std::int32_t>::max());
    std::vector<std::string> stored;
    std::vector<std::int32_t> scores = {std::numeric_limits<std::int32_t>::min(), -1, 0,
                                        std::numeric_limits<std::int32_t>::max()};
    for (int line = 0; line < Module1::kRecordLines; ++line) {
        std::string name = generator.next(10000);
        while (ui::toU32(name).size() < 10000) {
            name += generator.next(10000);
        }
        stored.push_back(Module1::storableName(name));
        if (scores.size() <= static_cast<std::size_t>(line)) {
            scores.push_back(anyScore(random));
        }
        setRecord(line, stored.back(), scores[static_cast<std::size_t>(line)]);
    }
    Module1::SaveRecords();
    Module1::ResetSharedState();

    Module1::LoadRecords();

    for (int line = 0; line < Module1::kRecordLines; ++line) {
        EXPECT_EQ(Module1::RecordName[line / 10][line % 10], stored[static_cast<std::size_t>(line)]);
        EXPECT_EQ(Module1::RecordScore[line / 10][line % 10], scores[static_cast<std::size_t>(line)]);
    }
}

} // namespace
