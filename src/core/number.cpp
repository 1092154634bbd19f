// Reading decimal numbers.
#include "core/number.hpp"

#include <algorithm>
#include <limits>

namespace tw {

namespace {

constexpr int64_t kBase = 10;
constexpr int64_t kSaturation = static_cast<int64_t>(std::numeric_limits<int32_t>::max()) + 1;

template <class Char>
bool IsDigit(Char c) {
  return c >= Char('0') && c <= Char('9');
}

template <class Char>
std::optional<int64_t> ParseWhole(std::basic_string_view<Char> text, bool allowMinus,
                                  size_t maxDigits) {
  bool negative = false;
  if (allowMinus && !text.empty() && text.front() == Char('-')) {
    negative = true;
    text.remove_prefix(1);
  }
  if (text.empty() || text.size() > maxDigits) return std::nullopt;
  int64_t value = 0;
  for (Char c : text) {
    if (!IsDigit(c)) return std::nullopt;
    value = std::min(value * kBase + (c - Char('0')), kSaturation);
  }
  return negative ? -value : value;
}

}  // namespace

std::optional<int64_t> ParseWholeNumber(std::u16string_view text, bool allowMinus,
                                        size_t maxDigits) {
  return ParseWhole(text, allowMinus, maxDigits);
}

std::optional<int64_t> ParseWholeNumber(std::string_view text, bool allowMinus, size_t maxDigits) {
  return ParseWhole(text, allowMinus, maxDigits);
}

int64_t LeadingWholeNumber(std::u16string_view text) {
  size_t k = 0;
  while (k < text.size() && (text[k] == u' ' || text[k] == u'\t'))
    ++k;
  bool negative = false;
  if (k < text.size() && (text[k] == u'+' || text[k] == u'-')) {
    negative = text[k] == u'-';
    ++k;
  }
  int64_t value = 0;
  while (k < text.size() && IsDigit(text[k])) {
    value = std::min(value * kBase + (text[k] - u'0'), kSaturation);
    ++k;
  }
  if (negative) return -value;
  return std::min<int64_t>(value, std::numeric_limits<int32_t>::max());
}

double LeadingDecimalNumber(std::u16string_view text, size_t from, double cap) {
  double value = 0;
  size_t i = from;
  while (i < text.size() && IsDigit(text[i])) {
    value = std::min(value * static_cast<double>(kBase) + (text[i] - u'0'), cap);
    ++i;
  }
  if (i < text.size() && text[i] == u'.') {
    ++i;
    double scale = 1.0 / static_cast<double>(kBase);
    while (i < text.size() && IsDigit(text[i])) {
      value += (text[i] - u'0') * scale;
      scale /= static_cast<double>(kBase);
      ++i;
    }
  }
  return value;
}

}  // namespace tw
