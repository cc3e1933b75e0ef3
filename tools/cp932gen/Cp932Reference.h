#pragma once

// The C library's code page 932 converter, strict: the reference the
// model's own table is generated from and checked against. Desktop only.

#include <optional>
#include <string>
#include <string_view>

namespace cp932gen {

// nullopt when the converter is missing or the input does not convert whole.
std::optional<std::string> systemConvert(const char* to, const char* from, std::string_view input);

inline std::optional<std::string> systemToCp932(std::string_view utf8)
{
    return systemConvert("CP932", "UTF-8", utf8);
}

inline std::optional<std::string> systemFromCp932(std::string_view cp932)
{
    return systemConvert("UTF-8", "CP932", cp932);
}

} // namespace cp932gen
