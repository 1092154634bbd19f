// The text type of the whole program: one 16-bit character per code unit.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tw {

using Text = std::u16string;
using TextView = std::u16string_view;

inline constexpr char16_t kCR = u'\r';
inline constexpr char16_t kLF = u'\n';
inline constexpr TextView kCrLf = u"\r\n";

}  // namespace tw
