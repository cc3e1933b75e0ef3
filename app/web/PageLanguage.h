#pragma once

// The language of the page's own texts: Japanese when the browser prefers
// it, English otherwise. The game's texts inside its windows never change.

#include <string>
#include <string_view>

namespace webrecords {

void useJapanese(bool japanese);
// ENGLISH or JAPANESE, whichever the page speaks.
std::string say(std::string_view english, std::string_view japanese);

} // namespace webrecords
