#include "platform/web/WebClock.h"

#include <emscripten/emscripten.h>

#include <cmath>

namespace webhost {

WebClock::WebClock() : startMs_(emscripten_get_now()) {}

std::int64_t WebClock::nowMs() const
{
    return static_cast<std::int64_t>(std::floor(emscripten_get_now() - startMs_));
}

double WebClock::msUntil(std::int64_t dueMs) const
{
    return startMs_ + static_cast<double>(dueMs) - emscripten_get_now();
}

} // namespace webhost
