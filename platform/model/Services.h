#pragma once

// Small interfaces the window model is given by whoever runs it: the game
// passes real ones backed by Qt and the system clock, tests pass their own.

#include "platform/model/Types.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ui {

class Clock {
public:
    virtual ~Clock() = default;
    virtual std::int64_t nowMs() const = 0;
};

// Time that moves only when told to: tests and the replay driver.
class VirtualClock : public Clock {
public:
    std::int64_t nowMs() const override { return now_; }
    void set(std::int64_t ms) { now_ = ms; }

private:
    std::int64_t now_ = 0;
};

// Measures the captions of labels that fit them. Every program of the game
// passes the game's own table of the designs' fonts, so the widths are the
// same whatever host draws them.
class TextMetrics {
public:
    virtual ~TextMetrics() = default;
    virtual int textWidthPx(const Font& font, std::string_view utf8) const = 0;
};

struct PictureInfo {
    int width = 0;  // pixels
    int height = 0; // pixels
    int colors = 0; // 16, 256, or 0 for true colour
};

// The named pictures the designs refer to.
class PictureCatalog {
public:
    virtual ~PictureCatalog() = default;
    virtual std::optional<PictureInfo> find(std::string_view name) const = 0;
};

} // namespace ui
