// libFuzzer target for the play reader. Whatever the bytes, reading them
// must give either a play or a PlayError naming a line of the text (or 0 for
// the whole text) and a reason, and never a crash or a hang. A play that was
// read is written back to exactly the bytes it was read from once they were
// written by the writer: writing, reading and writing again changes nothing.

#include "plays/Play.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

[[noreturn]] void fault(const char* what, const std::string& detail = {})
{
    std::fprintf(stderr, "play-fuzzer: %s%s%s\n", what, detail.empty() ? "" : ": ", detail.c_str());
    std::abort();
}

void checkRefusal(const plays::PlayError& error, std::string_view text)
{
    const auto lines = static_cast<int>(std::count(text.begin(), text.end(), '\n'));
    if (error.line() < 0 || error.line() > lines + 1) {
        fault("a refusal names a line the text does not have", error.what());
    }
    if (error.reason().empty()) {
        fault("a refusal without a reason");
    }
}

void checkWrittenAgain(const plays::Play& play)
{
    const std::string written = plays::writePlay(play);
    try {
        if (plays::writePlay(plays::readPlay(written)) != written) {
            fault("a play written, read and written again changed");
        }
    } catch (const plays::PlayError& error) {
        fault("the writer wrote a play the reader refuses", error.what());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        checkWrittenAgain(plays::readPlay(text));
    } catch (const plays::PlayError& error) {
        checkRefusal(error, text);
    }
    return 0;
}
