#include "plays/Play.h"

#include "platform/model/Text.h"

#include <charconv>
#include <cstdio>

namespace plays {

PlayError::PlayError(int line, const std::string& reason)
    : std::runtime_error(line > 0 ? "line " + std::to_string(line) + ": " + reason : reason),
      line_(line), reason_(reason)
{
}

std::string timerText(const TimerName& timer)
{
    std::string text = timer.form + "." + timer.control;
    if (timer.index >= 0) {
        text += "(" + std::to_string(timer.index) + ")";
    }
    return text;
}

bool isKeyCode(int code)
{
    return code >= 1 && code <= 254;
}

// A typed character: the code a KeyPress handler gets and the character
// itself, paired as every host pairs them.
bool isTypedChar(const ui::TypedChar& typed)
{
    const char32_t ch = typed.ch;
    if (ch == 0 || ch > 0x10FFFF || (ch >= 0xD800 && ch <= 0xDFFF)) {
        return false;
    }
    return typed.keyAscii == ui::keyAsciiFor(ch).value_or('?');
}

std::optional<char32_t> ownCharacter(int keyAscii)
{
    std::string bytes;
    if (keyAscii >= 0 && keyAscii <= 0xFF) {
        bytes.push_back(static_cast<char>(keyAscii));
    } else if (keyAscii > 0xFF && keyAscii <= 0xFFFF) {
        bytes.push_back(static_cast<char>(keyAscii >> 8));
        bytes.push_back(static_cast<char>(keyAscii & 0xFF));
    } else {
        return std::nullopt;
    }
    const auto utf8 = ui::fromCp932(bytes);
    if (!utf8) {
        return std::nullopt;
    }
    const std::u32string text = ui::toU32(*utf8);
    if (text.size() != 1) {
        return std::nullopt;
    }
    return text.front();
}

namespace {

using Kind = ui::InputEvent::Kind;

std::string typedText(const ui::TypedChar& typed)
{
    std::string text = std::to_string(typed.keyAscii);
    if (ownCharacter(typed.keyAscii) != typed.ch) {
        char hex[16];
        std::snprintf(hex, sizeof hex, "=%X", static_cast<unsigned>(typed.ch));
        text += hex;
    }
    return text;
}

std::string controlText(const Event& event)
{
    std::string text = event.form;
    if (!event.control.empty()) {
        text += "." + event.control;
        if (event.index >= 0) {
            text += "(" + std::to_string(event.index) + ")";
        }
    }
    return text;
}

std::string eventText(const Event& event)
{
    switch (event.kind) {
    case Kind::Tick: {
        std::string text(1, static_cast<char>('a' + event.timer));
        if (event.lateMs != 0) {
            text += " " + std::to_string(event.lateMs);
        }
        return text;
    }
    case Kind::KeyStroke:
    case Kind::KeyDown: {
        std::string text = event.kind == Kind::KeyStroke ? "K " : "D ";
        text += event.keyCode ? std::to_string(*event.keyCode) : "-";
        text += " " + std::to_string(event.shift);
        for (const ui::TypedChar& typed : event.typed) {
            text += " " + typedText(typed);
        }
        return text;
    }
    case Kind::KeyPress:
        return "P " + typedText(event.typed.at(0));
    case Kind::Click:
        return "C " + controlText(event);
    case Kind::Activate:
        return "A " + event.form;
    case Kind::Close:
        return "X " + event.form;
    }
    return {};
}

} // namespace

std::string writePlay(const Play& play)
{
    std::string text;
    const auto line = [&text](const std::string& words) { text += words + "\n"; };
    line(std::string(kFirstLine) + " " + std::to_string(kVersion));
    line("zone " + std::to_string(play.zone));
    line("speed " + std::to_string(play.speed));
    line("case " + std::to_string(play.letterCase));
    line("kana " + std::to_string(play.kana));
    line("seed " + std::to_string(play.seed));
    for (std::size_t i = 0; i < play.timers.size(); ++i) {
        line("timer " + std::string(1, static_cast<char>('a' + i)) + " " + timerText(play.timers[i]));
    }
    std::int64_t last = 0;
    for (const Event& event : play.events) {
        line(std::to_string(event.timeMs - last) + " " + eventText(event));
        last = event.timeMs;
    }
    line("end " + std::to_string(play.endMs));
    line("score " + std::to_string(play.figures.score));
    line("hits " + std::to_string(play.figures.hits));
    line("strokes " + std::to_string(play.figures.strokes));
    line("response " + ui::numberText(play.figures.response));
    line("hitrate " + ui::numberText(play.figures.hitRate));
    line("total " + std::to_string(play.figures.total));
    return text;
}

} // namespace plays
