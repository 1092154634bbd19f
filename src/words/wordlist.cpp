// The ranked word list ("List words") and the sentence shown when no word qualifies.
#include "words/wordlist.hpp"

#include <algorithm>
#include <climits>
#include <cmath>
#include <stdexcept>
#include <vector>

#include "text/strproc.hpp"

namespace tw {

namespace {

constexpr TextView kHeading = u"Rank Value Freq. Density";
constexpr TextView kZeroNote = u"Words with key value 0 not shown.";
constexpr int32_t kMinRankWidth = 4;
constexpr int32_t kValueWidth = 5;
constexpr int32_t kFrequencyWidth = 4;
constexpr int32_t kDensityWidth = 4;
constexpr int64_t kPercent = 100;
// The density is shown with two decimals.
constexpr size_t kDensityDecimals = 2;
constexpr int64_t kHundredths = 100;
// A group size this large means that no further groups follow.
constexpr unsigned char kNoFurtherGroups = CHAR_MAX;
constexpr uint32_t kLargestCodeUnit = 0xFFFF;

// Padded with spaces on the left up to the width; a longer text is kept whole.
void AppendRightAligned(Text& out, TextView text, int32_t width) {
  const auto length = static_cast<int32_t>(text.size());
  if (length < width) out.append(static_cast<size_t>(width - length), u' ');
  out.append(text);
}

// The digits of a whole number with the group separator put in from the right.
Text GroupedDigits(int64_t whole, const NumberFormat& format) {
  const Text digits = NumberText(whole);
  if (format.grouping.empty() || format.groupSeparator.empty()) return digits;
  // Group sizes from the right; the last one repeats, and a size of 0 or less, or CHAR_MAX,
  // ends the grouping.
  Text out;
  size_t left = digits.size();
  size_t groupIndex = 0;
  std::vector<TextView> pieces;
  for (;;) {
    const auto size = static_cast<unsigned char>(format.grouping[groupIndex]);
    if (size == 0 || size >= kNoFurtherGroups || size >= left) break;
    pieces.push_back(TextView(digits).substr(left - size, size));
    left -= size;
    if (groupIndex + 1 < format.grouping.size()) ++groupIndex;
  }
  out.append(TextView(digits).substr(0, left));
  for (auto piece = pieces.rbegin(); piece != pieces.rend(); ++piece) {
    out.append(format.groupSeparator);
    out.append(*piece);
  }
  return out;
}

// One character of a numeric facet as text; `fallback` when it does not fit one code unit.
Text FacetChar(wchar_t c, char16_t fallback) {
  const auto code = static_cast<uint32_t>(c);
  return Text(1, code <= kLargestCodeUnit ? static_cast<char16_t>(code) : fallback);
}

}  // namespace

NumberFormat NumberFormatOf(const std::locale& locale) {
  const auto& facet = std::use_facet<std::numpunct<wchar_t>>(locale);
  NumberFormat format;
  format.decimalSeparator = FacetChar(facet.decimal_point(), u'.');
  format.groupSeparator = FacetChar(facet.thousands_sep(), u',');
  format.grouping = facet.grouping();
  return format;
}

NumberFormat UserNumberFormat() {
  try {
    return NumberFormatOf(std::locale(""));
  } catch (const std::runtime_error&) {
    // The environment names a locale the system does not have.
    return NumberFormat{};
  }
}

Text DensityText(int32_t frequency, int64_t totalWords, const NumberFormat& format) {
  // In hundredths of a per cent, rounded on the exact quotient so that a half goes up as
  // it does when the share is written out by hand.
  int64_t hundredths = 0;
  if (totalWords > 0) {
    const int64_t scaled = static_cast<int64_t>(frequency) * kPercent * kHundredths;
    hundredths = scaled / totalWords;
    if (2 * (scaled % totalWords) >= totalWords) ++hundredths;
  }
  Text text = GroupedDigits(hundredths / kHundredths, format);
  text += format.decimalSeparator;
  const Text fraction = NumberText(hundredths % kHundredths);
  text.append(kDensityDecimals - fraction.size(), u'0');
  text += fraction;
  return text;
}

int64_t RoundHalfToEven(double value) {
  const double floor = std::floor(value);
  const double fraction = value - floor;
  auto result = static_cast<int64_t>(floor);
  if (fraction > 0.5 || (fraction == 0.5 && result % 2 != 0)) ++result;
  return result;
}

Text ReportNoWords(const ScanOptions& options) {
  Text text;
  if (!options.ignoreShortWords) {
    text = u"No words";
  } else {
    const int32_t size = options.shortWordSize;
    text = u"No words with more than ";
    text += NumberText(size);
    text += u" letter";
    if (size > 1) text += u"s";
  }
  text += u" occur at least ";
  const int32_t frequency = options.minFrequency;
  if (frequency == 1) {
    text += u"once.";
  } else if (frequency == 2) {
    text += u"twice.";
  } else {
    text += NumberText(frequency);
    text += u" times.";
  }
  return text;
}

Text WordListText(const WordTable& table, const ScanOptions& options) {
  return WordListText(table, options, UserNumberFormat());
}

namespace {

// The list over entries in rank order, each with word, key value and frequency.
template <class Ranked>
Text ListText(const Ranked& ranked, int64_t totalWords, const ScanOptions& options,
              const NumberFormat& format) {
  const auto count = static_cast<int32_t>(ranked.size());
  if (count == 0) return ReportNoWords(options);
  const int32_t rankWidth = std::max(kMinRankWidth, static_cast<int32_t>(NumberText(count).size()));
  Text out(kHeading);
  out.append(kCrLf);
  bool zeroNoteWritten = false;
  int32_t rank = 0;
  for (const auto& entry : ranked) {
    ++rank;
    const int64_t value = RoundHalfToEven(entry.keyValue);
    if (value != 0) {
      AppendRightAligned(out, NumberText(rank), rankWidth);
      out += u' ';
      AppendRightAligned(out, NumberText(value), kValueWidth);
      out += u' ';
      AppendRightAligned(out, NumberText(entry.frequency), kFrequencyWidth);
      out += u"  ";
      AppendRightAligned(out, DensityText(entry.frequency, totalWords, format), kDensityWidth);
      out += u"%  ";
      out += entry.word;
      out.append(kCrLf);
    } else if (!zeroNoteWritten) {
      out.append(kCrLf);
      out.append(kZeroNote);
      out.append(kCrLf);
      zeroNoteWritten = true;
    }
  }
  return out;
}

}  // namespace

Text WordListText(const WordTable& table, const ScanOptions& options, const NumberFormat& format) {
  return ListText(table.Ranked(), table.lngTotalWords, options, format);
}

Text WordListText(std::span<const WordEntry> ranked, int64_t totalWords, const ScanOptions& options,
                  const NumberFormat& format) {
  return ListText(ranked, totalWords, options, format);
}

}  // namespace tw
