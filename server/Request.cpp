#include "server/Request.h"

#include "core/RecordFile.h"
#include "platform/model/Text.h"

#include <nlohmann/json.hpp>

namespace ranking {

namespace {

constexpr std::size_t kMaxNameCharacters = 16;

std::string characterText(char32_t ch)
{
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(ch));
    return code;
}

} // namespace

SendRequest parseSendRequest(std::string_view body)
{
    nlohmann::json json;
    try {
        json = nlohmann::json::parse(body.begin(), body.end());
    } catch (const nlohmann::json::exception& error) {
        // nlohmann's text names the place: "parse error at line 1, column 9: ..."
        std::string what = error.what();
        if (const auto at = what.find("] "); at != std::string::npos) {
            what = what.substr(at + 2);
        }
        throw BadRequest("the body is not JSON: " + what);
    }
    if (!json.is_object()) {
        throw BadRequest("the body must be a JSON object with \"name\", \"player\" and \"play\"");
    }
    SendRequest request;
    bool seen[3] = {false, false, false};
    for (const auto& [key, value] : json.items()) {
        std::string* field = nullptr;
        int index = 0;
        if (key == "name") {
            field = &request.name;
            index = 0;
        } else if (key == "player") {
            field = &request.player;
            index = 1;
        } else if (key == "play") {
            field = &request.play;
            index = 2;
        } else {
            throw BadRequest("unknown field " + nlohmann::json(key.substr(0, 40)).dump(-1, ' ', true, nlohmann::json::error_handler_t::replace));
        }
        if (!value.is_string()) {
            throw BadRequest("\"" + key + "\" must be a string");
        }
        *field = value.get<std::string>();
        seen[index] = true;
    }
    const char* names[3] = {"name", "player", "play"};
    for (int i = 0; i < 3; ++i) {
        if (!seen[i]) {
            throw BadRequest(std::string("missing field \"") + names[i] + "\"");
        }
    }
    if (!isPlayerKey(request.player)) {
        throw BadRequest("\"player\" must be 32 to 64 characters of A-Z a-z 0-9 _ -");
    }
    if (const std::string refusal = nameRefusal(request.name); !refusal.empty()) {
        throw BadRequest(refusal);
    }
    return request;
}

std::string nameRefusal(std::string_view name)
{
    const std::u32string characters = ui::toU32(name);
    if (ui::toUtf8(characters) != name) {
        return "the name is not UTF-8";
    }
    if (characters.empty()) {
        return "the name is empty";
    }
    if (characters.size() > kMaxNameCharacters) {
        return "the name has " + std::to_string(characters.size()) + " characters; at most 16 are allowed";
    }
    if (characters.front() == U' ' || characters.front() == U'\u3000') {
        return "the name begins with a blank";
    }
    for (const char32_t ch : characters) {
        if (ch == U',') {
            return "the name has a comma, which names may not have";
        }
        if (ch == U'"') {
            return "the name has a double quote, which names may not have";
        }
        if (ch < 0x20 || ch == 0x7f || (ch >= 0x80 && ch < 0xa0)) {
            return "the name has a control character (" + characterText(ch) + ")";
        }
        if (!Module1::isAcceptedNameCharacter(ch)) {
            return "the name has a character outside code page 932 (" + characterText(ch) + ")";
        }
    }
    return {};
}

bool isPlayerKey(std::string_view key)
{
    if (key.size() < 32 || key.size() > 64) {
        return false;
    }
    for (const char c : key) {
        const bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '-';
        if (!ok) {
            return false;
        }
    }
    return true;
}

} // namespace ranking
