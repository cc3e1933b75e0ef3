#include "PlayFixtures.h"

#include "plays/Play.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

namespace {

using plays::PlayError;
using plays::readPlay;

// The text of a play with one line replaced (1-based), or cut after it.
std::string withLine(const std::string& text, int number, const std::string& line)
{
    std::string out;
    std::istringstream lines(text);
    int at = 0;
    for (std::string current; std::getline(lines, current);) {
        out += (++at == number ? line : current) + "\n";
    }
    return out;
}

int lineOf(const std::string& text, const std::string& start)
{
    std::istringstream lines(text);
    int at = 0;
    for (std::string current; std::getline(lines, current);) {
        ++at;
        if (current.starts_with(start)) {
            return at;
        }
    }
    return 0;
}

void expectRefused(const std::string& text, int line, const std::string& part)
{
    try {
        readPlay(text);
        ADD_FAILURE() << "read, but should be refused for: " << part;
    } catch (const PlayError& error) {
        EXPECT_EQ(error.line(), line) << error.what();
        EXPECT_NE(std::string(error.what()).find(part), std::string::npos) << error.what();
    }
}

class PlayFormat : public ::testing::Test {
protected:
    static void SetUpTestSuite() { text_ = plays::writePlay(playtests::steadyPlay()); }
    static std::string text_;
};
std::string PlayFormat::text_;

TEST_F(PlayFormat, aWrittenPlayReadsBackToTheSameText)
{
    EXPECT_TRUE(text_.starts_with("quorvel-play 1\nzone 1\nspeed 1\ncase 0\nkana 0\nseed 42\ntimer a "));
    EXPECT_EQ(plays::writePlay(readPlay(text_)), text_);
}

TEST_F(PlayFormat, aHighSpeedGameFitsInSixteenKibibytes)
{
    EXPECT_LT(text_.size(), 16u * 1024);
}

TEST_F(PlayFormat, typedCharactersKeepTheCharacterTheKeyDelivered)
{
    plays::Play play = readPlay(text_);
    play.events.front().typed = {ui::TypedChar{0xB1, U'あ'}, ui::TypedChar{13, U'\r'}};
    const std::string text = plays::writePlay(play);
    EXPECT_NE(text.find(" 177=3042 13\n"), std::string::npos);
    EXPECT_EQ(readPlay(text).events.front().typed.at(0).ch, U'あ');
}

TEST_F(PlayFormat, refusesEachKindOfBadInputWithItsLineAndReason)
{
    const int firstEvent = lineOf(text_, "0 K");
    const int end = lineOf(text_, "end ");
    expectRefused(withLine(text_, 1, "quorvel-play 2"), 1, "version 2");
    expectRefused(withLine(text_, 1, "hello"), 1, "not a play");
    expectRefused(withLine(text_, 2, "zone 3"), 2, "zone must be");
    expectRefused(withLine(text_, firstEvent + 1, "50 Z 1"), firstEvent + 1, "unknown event \"Z\"");
    expectRefused(withLine(text_, firstEvent + 1, "-5 a"), firstEvent + 1, "time goes backwards");
    expectRefused(withLine(text_, firstEvent + 1, "50 q"), firstEvent + 1, "does not name");
    expectRefused(withLine(text_, firstEvent + 1, "50 a 1001"), firstEvent + 1, "late by 1 to 1000 ms");
    expectRefused(withLine(text_, firstEvent, "0 K 300 0 32"), firstEvent, "no key a keyboard gives");
    expectRefused(withLine(text_, firstEvent, "0 K 32 0 129"), firstEvent, "no character a keyboard types");
    expectRefused(withLine(text_, firstEvent, "0 K 32 0 32=41"), firstEvent, "no character a keyboard types");
    expectRefused(withLine(text_, end, "end 1"), end, "not the time of the last event");
    expectRefused(withLine(text_, end + 1, "0 a"), end + 1, "an event after the end");
    expectRefused(text_ + "0 a\n", end + 7, "nothing may follow");
    const std::string cut = text_.substr(0, text_.size() / 2);
    expectRefused(cut, static_cast<int>(std::count(cut.begin(), cut.end(), '\n')) + 1, "cut short");
    expectRefused(text_ + std::string(plays::kMaxBytes, '\n'), 0, "at most 65536 bytes");
}

} // namespace
