#include "plays/Play.h"

#include "platform/model/Text.h"

#include <cctype>
#include <charconv>
#include <limits>
#include <span>
#include <tuple>

namespace plays {

namespace {

using Kind = ui::InputEvent::Kind;

constexpr std::int64_t kMostLateMs = 1000;
// Far beyond any play: keeps sums of times from overflowing.
constexpr std::int64_t kLongestPlayMs = 10 * 60 * 1000;

std::vector<std::string_view> wordsOf(std::string_view line)
{
    std::vector<std::string_view> words;
    std::size_t start = 0;
    while (start <= line.size()) {
        const std::size_t blank = line.find(' ', start);
        const std::size_t end = blank == std::string_view::npos ? line.size() : blank;
        words.push_back(line.substr(start, end - start));
        if (blank == std::string_view::npos) {
            break;
        }
        start = blank + 1;
    }
    return words;
}

template <class Number>
std::optional<Number> wholeNumber(std::string_view word)
{
    Number value{};
    if (word.empty() || (word.size() > 1 && word[0] == '0') || word[0] == '+' || word[0] == '-') {
        return std::nullopt;
    }
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (error != std::errc{} || end != word.data() + word.size()) {
        return std::nullopt;
    }
    return value;
}

class Reader {
public:
    explicit Reader(std::string_view text) : text_(text) {}

    Play read()
    {
        if (text_.size() > kMaxBytes) {
            throw PlayError(0, "the play is " + std::to_string(text_.size()) + " bytes; a play is at most " +
                                   std::to_string(kMaxBytes) + " bytes");
        }
        readVersion();
        play_.zone = setting("zone", 2);
        play_.speed = setting("speed", 1);
        play_.letterCase = setting("case", 1);
        play_.kana = setting("kana", 1);
        play_.seed = seed();
        readTimers();
        readEvents();
        readFigures();
        if (nextLine()) {
            fail("the play has ended; nothing may follow its figures");
        }
        return std::move(play_);
    }

private:
    [[noreturn]] void fail(const std::string& reason) const { throw PlayError(lineNumber_, reason); }

    // The next line without its end; nullopt at the end of the text.
    std::optional<std::string_view> nextLine()
    {
        if (pending_) {
            ++lineNumber_;
            return std::exchange(pending_, std::nullopt);
        }
        if (at_ >= text_.size()) {
            return std::nullopt;
        }
        const std::size_t end = text_.find('\n', at_);
        if (end == std::string_view::npos) {
            ++lineNumber_;
            fail("the play is cut short: its last line has no end");
        }
        std::string_view line = text_.substr(at_, end - at_);
        at_ = end + 1;
        ++lineNumber_;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        return line;
    }

    std::string_view requireLine(const std::string& what)
    {
        const auto line = nextLine();
        if (!line) {
            ++lineNumber_;
            fail("the play is cut short: " + what + " is missing");
        }
        return *line;
    }

    void readVersion()
    {
        const auto words = wordsOf(requireLine("the first line"));
        if (words.size() != 2 || words[0] != kFirstLine) {
            fail("not a play: the first line must be \"" + std::string(kFirstLine) + " " +
                 std::to_string(kVersion) + "\"");
        }
        if (words[1] != std::to_string(kVersion)) {
            fail("a play of version " + std::string(words[1]) + "; this program reads version " +
                 std::to_string(kVersion));
        }
    }

    // "NAME N" with N from 0 to `most`.
    int setting(const std::string& name, int most)
    {
        const auto words = wordsOf(requireLine("the line \"" + name + "\""));
        if (words.size() != 2 || words[0] != name) {
            fail("expected \"" + name + " N\" here");
        }
        const auto value = wholeNumber<int>(words[1]);
        if (!value || *value < 0 || *value > most) {
            fail(name + " must be a whole number from 0 to " + std::to_string(most));
        }
        return *value;
    }

    std::uint64_t seed()
    {
        const auto words = wordsOf(requireLine("the line \"seed\""));
        if (words.size() != 2 || words[0] != "seed") {
            fail("expected \"seed N\" here");
        }
        const auto value = wholeNumber<std::uint64_t>(words[1]);
        if (!value) {
            fail("the seed must be a whole number from 0 to 18446744073709551615");
        }
        return *value;
    }

    void readTimers()
    {
        for (;;) {
            const auto line = requireLine("the events");
            const auto words = wordsOf(line);
            if (words[0] != "timer") {
                pending_ = line;
                --lineNumber_;
                return;
            }
            const char expected = static_cast<char>('a' + play_.timers.size());
            if (words.size() != 3 || words[1].size() != 1 || words[1][0] != expected) {
                fail(std::string("expected \"timer ") + expected + " FORM.TIMER\" here");
            }
            if (play_.timers.size() == 26) {
                fail("a play names at most 26 timers");
            }
            play_.timers.push_back(timerName(words[2]));
        }
    }

    TimerName timerName(std::string_view word) const
    {
        const auto [form, control, index] = windowAndControl(word);
        if (control.empty()) {
            fail("a timer is named FORM.TIMER or FORM.TIMER(N)");
        }
        return TimerName{form, control, index};
    }

    // FORM, FORM.CONTROL or FORM.CONTROL(N): names of letters and digits.
    std::tuple<std::string, std::string, int> windowAndControl(std::string_view word) const
    {
        const auto isName = [](std::string_view name) {
            if (name.empty() || name.size() > 40) {
                return false;
            }
            for (const char c : name) {
                if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') {
                    return false;
                }
            }
            return true;
        };
        const std::size_t dot = word.find('.');
        const std::string_view form = word.substr(0, dot);
        if (!isName(form)) {
            fail("\"" + std::string(word) + "\" is not the name of a window");
        }
        if (dot == std::string_view::npos) {
            return {std::string(form), {}, -1};
        }
        std::string_view control = word.substr(dot + 1);
        int index = -1;
        if (const std::size_t open = control.find('('); open != std::string_view::npos) {
            const auto number = control.back() == ')'
                                    ? wholeNumber<int>(control.substr(open + 1, control.size() - open - 2))
                                    : std::nullopt;
            if (!number || *number > 999) {
                fail("\"" + std::string(word) + "\" is not the name of a control");
            }
            index = *number;
            control = control.substr(0, open);
        }
        if (!isName(control)) {
            fail("\"" + std::string(word) + "\" is not the name of a control");
        }
        return {std::string(form), std::string(control), index};
    }

    void readEvents()
    {
        std::int64_t now = 0;
        for (;;) {
            const auto words = wordsOf(requireLine("the end"));
            if (words[0] == "end") {
                readEnd(words, now);
                return;
            }
            if (words[0].starts_with('-') && wholeNumber<std::int64_t>(words[0].substr(1))) {
                fail("time goes backwards: an event " + std::string(words[0].substr(1)) +
                     " ms before the one before it");
            }
            const auto delta = wholeNumber<std::int64_t>(words[0]);
            if (!delta || *delta < 0) {
                fail("unknown event \"" + std::string(words[0]) + "\": an event starts with its time in ms");
            }
            if (words.size() < 2) {
                fail("an event without its kind");
            }
            now += *delta;
            if (*delta > kLongestPlayMs || now > kLongestPlayMs) {
                fail("an event at " + std::to_string(now) + " ms, long after any play has ended");
            }
            if (play_.events.empty() && now != 0) {
                fail("the first event starts the play at 0 ms, not " + std::to_string(now) + " ms");
            }
            Event event = readEvent(words);
            event.timeMs = now;
            event.line = lineNumber_;
            play_.events.push_back(std::move(event));
        }
    }

    Event readEvent(const std::vector<std::string_view>& words) const
    {
        const std::string_view kind = words[1];
        const std::span<const std::string_view> args(words.data() + 2, words.size() - 2);
        if (kind.size() == 1 && kind[0] >= 'a' && kind[0] <= 'z') {
            return tick(kind[0], args);
        }
        if (kind == "K" || kind == "D") {
            return keys(kind == "K" ? Kind::KeyStroke : Kind::KeyDown, args);
        }
        if (kind == "P") {
            if (args.size() != 1) {
                fail("a key press is \"P CODE\" or \"P CODE=HEX\"");
            }
            Event event;
            event.kind = Kind::KeyPress;
            event.typed.push_back(typedChar(args[0]));
            return event;
        }
        if (kind == "C" || kind == "A" || kind == "X") {
            return windowEvent(kind[0], args);
        }
        fail("unknown event \"" + std::string(kind) + "\"");
    }

    Event tick(char letter, std::span<const std::string_view> args) const
    {
        const int timer = letter - 'a';
        if (timer >= static_cast<int>(play_.timers.size())) {
            fail(std::string("a tick of timer ") + letter + ", which the play does not name");
        }
        Event event;
        event.kind = Kind::Tick;
        event.timer = timer;
        if (args.size() > 1) {
            fail("a tick is \"LETTER\" or \"LETTER LATE\"");
        }
        if (args.size() == 1) {
            const auto late = wholeNumber<std::int64_t>(args[0]);
            if (!late || *late < 1 || *late > kMostLateMs) {
                fail("a tick is late by 1 to " + std::to_string(kMostLateMs) + " ms");
            }
            event.lateMs = *late;
        }
        return event;
    }

    Event keys(Kind kind, std::span<const std::string_view> args) const
    {
        Event event;
        event.kind = kind;
        if (args.size() < 2 || (kind == Kind::KeyDown && args.size() != 2) || args.size() > 34) {
            fail(kind == Kind::KeyDown ? "a key down is \"D CODE SHIFT\""
                                       : "a key stroke is \"K CODE SHIFT\" and at most 32 characters");
        }
        if (args[0] != "-") {
            const auto code = wholeNumber<int>(args[0]);
            if (!code || !isKeyCode(*code)) {
                fail("key code " + std::string(args[0]) + " is no key a keyboard gives (1 to 254)");
            }
            event.keyCode = *code;
        } else if (kind == Kind::KeyDown) {
            fail("a key down needs its key code");
        }
        const auto shift = wholeNumber<int>(args[1]);
        if (!shift || *shift > 7) {
            fail("the shift state is a whole number from 0 to 7");
        }
        event.shift = *shift;
        for (const std::string_view word : args.subspan(2)) {
            event.typed.push_back(typedChar(word));
        }
        if (kind == Kind::KeyStroke && !event.keyCode && event.typed.empty()) {
            fail("a key stroke with neither a key nor a character");
        }
        return event;
    }

    ui::TypedChar typedChar(std::string_view word) const
    {
        const std::size_t equals = word.find('=');
        const auto code = wholeNumber<int>(word.substr(0, equals));
        if (!code || *code > 0xFFFF) {
            fail("\"" + std::string(word) + "\" is no character a keyboard types");
        }
        ui::TypedChar typed{*code, 0};
        if (equals == std::string_view::npos) {
            typed.ch = ownCharacter(*code).value_or(0);
        } else {
            const std::string_view hex = word.substr(equals + 1);
            unsigned value = 0;
            const auto [end, error] = std::from_chars(hex.data(), hex.data() + hex.size(), value, 16);
            if (hex.empty() || hex.size() > 6 || error != std::errc{} || end != hex.data() + hex.size()) {
                fail("\"" + std::string(word) + "\" is no character a keyboard types");
            }
            typed.ch = value;
        }
        if (!isTypedChar(typed)) {
            fail("\"" + std::string(word) + "\" is no character a keyboard types");
        }
        return typed;
    }

    Event windowEvent(char kind, std::span<const std::string_view> args) const
    {
        if (args.size() != 1) {
            fail(std::string("\"") + kind + "\" names one window" + (kind == 'C' ? " or control" : ""));
        }
        auto [form, control, index] = windowAndControl(args[0]);
        if (kind != 'C' && !control.empty()) {
            fail(std::string("\"") + kind + "\" names a window, not a control");
        }
        Event event;
        event.kind = kind == 'C' ? Kind::Click : kind == 'A' ? Kind::Activate : Kind::Close;
        event.form = std::move(form);
        event.control = std::move(control);
        event.index = index;
        return event;
    }

    void readEnd(const std::vector<std::string_view>& words, std::int64_t lastEventMs)
    {
        const auto end = words.size() == 2 ? wholeNumber<std::int64_t>(words[1]) : std::nullopt;
        if (!end) {
            fail("the end is \"end MS\"");
        }
        if (play_.events.empty()) {
            fail("a play without events");
        }
        if (*end != lastEventMs) {
            fail("the end at " + std::to_string(*end) + " ms is not the time of the last event, " +
                 std::to_string(lastEventMs) + " ms");
        }
        play_.endMs = *end;
        play_.endLine = lineNumber_;
    }

    void readFigures()
    {
        Figures& figures = play_.figures;
        figures.score = figure<std::int32_t>("score", 0, std::numeric_limits<std::int32_t>::max());
        figures.hits = figure<int>("hits", 0, 32767);
        figures.strokes = figure<int>("strokes", 0, 32767);
        figures.response = decimalFigure("response", 0, 1e9);
        figures.hitRate = decimalFigure("hitrate", 0, 100);
        figures.total = figure<std::int32_t>("total", 0, std::numeric_limits<std::int32_t>::max());
    }

    std::vector<std::string_view> figureLine(const std::string& name)
    {
        const auto line = nextLine();
        if (!line) {
            ++lineNumber_;
            fail("the play is cut short: the figure \"" + name + "\" is missing");
        }
        const auto words = wordsOf(*line);
        if (words.size() != 2 || words[0] != name) {
            if (!words.empty() && wholeNumber<std::int64_t>(words[0])) {
                fail("an event after the end");
            }
            fail("expected \"" + name + " N\" here");
        }
        return words;
    }

    template <class Number>
    Number figure(const std::string& name, Number least, Number most)
    {
        const auto words = figureLine(name);
        const auto value = wholeNumber<Number>(words[1]);
        if (!value || *value < least || *value > most) {
            fail(name + " must be a whole number from " + std::to_string(least) + " to " + std::to_string(most));
        }
        return *value;
    }

    double decimalFigure(const std::string& name, double least, double most)
    {
        const auto words = figureLine(name);
        const auto value = ui::parseNumber(words[1]);
        if (!value || *value < least || *value > most || ui::numberText(*value) != words[1]) {
            fail(name + " must be a number from " + ui::numberText(least) + " to " + ui::numberText(most) +
                 ", written as the game writes it");
        }
        return *value;
    }

    std::string_view text_;
    std::size_t at_ = 0;
    int lineNumber_ = 0;
    std::optional<std::string_view> pending_;
    Play play_;
};

} // namespace

Play readPlay(std::string_view text)
{
    return Reader(text).read();
}

} // namespace plays
