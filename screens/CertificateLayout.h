#pragma once

// Where the certificate stands: over the screen that opened it (the results
// or the name entry), down and right of that window's corner.

#include "platform/model/Form.h"
#include "core/FormNames.h"

namespace certificate_layout {

inline constexpr double kDown = 675; // twips
inline constexpr double kRight = 900;

inline ui::Form& openOver(ui::Form& opener)
{
    return opener.openHere(forms::kCertif, kDown, kRight);
}

} // namespace certificate_layout
