#pragma once

// The records file kept in a browser's key-value storage, which holds text:
// the file's bytes (code page 932, CR LF) are stored as base64, so every
// byte comes back exactly as it went in.

#include <optional>
#include <string>
#include <string_view>

namespace webrecords {

std::string encodeStoredBytes(std::string_view bytes);

// The bytes again; nullopt when TEXT is not base64 with its padding.
std::optional<std::string> decodeStoredBytes(std::string_view text);

} // namespace webrecords
