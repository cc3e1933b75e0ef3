#pragma once

// What a client sends, as the server takes it: a play to rank, a player's
// key and the name to show. Nothing in it is trusted: every field is checked
// here before the play reaches verification or the database.

#include <stdexcept>
#include <string>
#include <string_view>

namespace ranking {

// A request the server refuses before looking at its play; what() is the
// reason a client is told.
class BadRequest : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct SendRequest {
    std::string name;
    std::string player;
    std::string play;
};

// The body of POST /api/v1/plays: a JSON object with exactly the string
// fields "name", "player" and "play". Throws BadRequest with the reason.
SendRequest parseSendRequest(std::string_view body);

// The name entry's rules: 1 to 16 characters of code page 932, no comma,
// no double quote, no control character, no blank at its start. The
// reason it breaks one, or empty when it keeps them all.
std::string nameRefusal(std::string_view name);

// 32 to 64 characters of A-Z a-z 0-9 _ -.
bool isPlayerKey(std::string_view key);

} // namespace ranking
