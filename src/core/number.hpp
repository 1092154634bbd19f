// Decimal numbers as the program reads them: whole numbers that must fill a text (the state
// file, the command line), the leading whole number of a box (the tag's two limits) and the
// leading decimal number of a font size.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace tw {

// The whole number that the text is: an optional "-" (when allowed), then 1 to `maxDigits`
// decimal digits and nothing else. Nothing for any other text.
std::optional<int64_t> ParseWholeNumber(std::u16string_view text, bool allowMinus,
                                        size_t maxDigits);
std::optional<int64_t> ParseWholeNumber(std::string_view text, bool allowMinus, size_t maxDigits);

// The leading whole number of a text: spaces and tabs passed over, an optional sign, then the
// digits that follow (none gives 0). Kept within the 32-bit range.
int64_t LeadingWholeNumber(std::u16string_view text);

// The leading decimal number from index `from`: digits with a fractional part if present
// (no digits give 0), capped at `cap` while the whole part is read.
double LeadingDecimalNumber(std::u16string_view text, size_t from, double cap);

}  // namespace tw
