// libFuzzer target for what the ranking server reads from a client: a
// request's target, the body of POST /api/v1/plays and the play text in it,
// with the rules for plays no person could type. Whatever the bytes, the body is taken or
// refused with a reason, never a crash or a hang; a play that reads is
// judged by the human rules, whose refusal names a line of the text.

#include "plays/Play.h"
#include "server/HttpTarget.h"
#include "server/HumanRules.h"
#include "server/Request.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void judge(std::string_view text)
{
    try {
        const plays::Play play = plays::readPlay(text);
        if (const auto refusal = ranking::humanRefusal(play); refusal && refusal->rfind("line ", 0) != 0) {
            std::fprintf(stderr, "server-fuzzer: a refusal without its line: %s\n", refusal->c_str());
            std::abort();
        }
    } catch (const plays::PlayError&) {
    }
}

// Whatever the target, a file it names stays inside the site's folder.
void serveTarget(std::string_view bytes)
{
    const ranking::HttpTarget target = ranking::splitTarget(bytes);
    if (const auto file = ranking::siteFilePath(target.path)) {
        const std::string inside = "/" + *file;
        if (file->empty() || inside.find("/.") != std::string::npos || inside.find("//") != std::string::npos ||
            file->find('\\') != std::string::npos || file->find('\0') != std::string::npos) {
            std::fprintf(stderr, "server-fuzzer: a site path that leaves the site: %s\n", file->c_str());
            std::abort();
        }
    }
    ranking::queryValue(target.query, "limit");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    try {
        const ranking::SendRequest request = ranking::parseSendRequest(bytes);
        if (!ranking::isPlayerKey(request.player) || !ranking::nameRefusal(request.name).empty()) {
            std::fprintf(stderr, "server-fuzzer: a body taken with a bad player key or name\n");
            std::abort();
        }
        judge(request.play);
    } catch (const ranking::BadRequest& error) {
        if (std::string_view(error.what()).empty()) {
            std::fprintf(stderr, "server-fuzzer: a refusal without a reason\n");
            std::abort();
        }
    }
    judge(bytes);
    serveTarget(bytes);
    return 0;
}
