#include "platform/web/WebClock.h"

#include <emscripten/emscripten.h>

#include <cmath>

namespace webhost {

WebClock::WebClock() : startMs_(emscripten_get_now()) {}

std::int64_t WebClock::nowMs() const
{
    return static_cast<std::int64_t>(std::floor(emscripten_get_now() - startMs_));
}

} // namespace webhost
