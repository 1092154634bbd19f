// The ranked word list ("List words") and the sentence shown when no word qualifies.
#include "words/wordlist.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "text/strproc.hpp"

namespace tw {

namespace {

constexpr TextView kHeading = u"Rank Value Freq. Density";
constexpr TextView kZeroNote = u"Words with key value 0 not shown.";
constexpr int32_t kMinRankWidth = 4;
constexpr int32_t kValueWidth = 5;
constexpr int32_t kFrequencyWidth = 4;
constexpr int32_t kDensityWidth = 4;
constexpr int kDensityDecimals = 2;
constexpr double kPercent = 100.0;
constexpr TextView kDensityUnknown = u"0.00";

// Padded with spaces on the left up to the width; a longer text is kept whole.
void AppendRightAligned(Text& out, TextView text, int32_t width) {
  const auto length = static_cast<int32_t>(text.size());
  if (length < width) out.append(static_cast<size_t>(width - length), u' ');
  out.append(text);
}

// Frequency as a share of the document's words, with two decimals and a point.
Text DensityText(int32_t frequency, int64_t totalWords) {
  if (totalWords <= 0) return Text(kDensityUnknown);
  const double density = frequency * kPercent / static_cast<double>(totalWords);
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, density,
                                    std::chars_format::fixed, kDensityDecimals);
  return Text(buffer, result.ptr);
}

}  // namespace

int64_t RoundHalfToEven(double value) {
  const double floor = std::floor(value);
  const double fraction = value - floor;
  auto result = static_cast<int64_t>(floor);
  if (fraction > 0.5 || (fraction == 0.5 && result % 2 != 0)) ++result;
  return result;
}

Text ReportNoWords(const AnalysisSettings& settings) {
  Text text;
  if (!settings.chkIgnoreShortWords) {
    text = u"No words";
  } else {
    const int32_t size = settings.ShortWordSize();
    text = u"No words with more than ";
    text += NumberText(size);
    text += u" letter";
    if (size > 1) text += u"s";
  }
  text += u" occur at least ";
  const int32_t frequency = settings.MinFrequency();
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

Text WordListText(const WordTable& table, const AnalysisSettings& settings) {
  const int32_t count = table.intNumWords();
  if (count == 0) return ReportNoWords(settings);
  const int32_t rankWidth = std::max(kMinRankWidth, static_cast<int32_t>(NumberText(count).size()));
  Text out(kHeading);
  out.append(kCrLf);
  bool zeroNoteWritten = false;
  int32_t rank = 0;
  for (const WordEntry& entry : table.Ranked()) {
    ++rank;
    const int64_t value = RoundHalfToEven(entry.keyValue);
    if (value != 0) {
      AppendRightAligned(out, NumberText(rank), rankWidth);
      out += u' ';
      AppendRightAligned(out, NumberText(value), kValueWidth);
      out += u' ';
      AppendRightAligned(out, NumberText(entry.frequency), kFrequencyWidth);
      out += u"  ";
      AppendRightAligned(out, DensityText(entry.frequency, table.lngTotalWords), kDensityWidth);
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

}  // namespace tw
