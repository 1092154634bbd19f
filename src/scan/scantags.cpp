// The tags the scanner reads: the markup it passes over, meta tags (description and
// keywords), font tags with their sizes, and PHP sections within a line and over lines.
#include <algorithm>
#include <cmath>

#include "scan/scanner.hpp"

#include "text/textsearch.hpp"

namespace tw {

namespace {

constexpr std::string_view kMetaStart = "meta ";
constexpr std::string_view kFontStart = "font";
constexpr std::string_view kFontEnd = "/font";
constexpr size_t kContentLength = 7;  // "content"
constexpr size_t kPhpMarkLength = 2;  // "<?" and "?>"
constexpr double kLargestFontNumber = 1e6;
constexpr double kBase = 10;

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// The leading decimal number from index `from`: digits with a fractional part if present
// (no digits give 0), capped at `cap` while the whole part is read.
double LeadingDecimalNumber(std::string_view text, size_t from, double cap) {
  double value = 0;
  size_t i = from;
  while (i < text.size() && IsDigit(text[i])) {
    value = std::min(value * kBase + (text[i] - '0'), cap);
    ++i;
  }
  if (i < text.size() && text[i] == '.') {
    ++i;
    double scale = 1.0 / kBase;
    while (i < text.size() && IsDigit(text[i])) {
      value += (text[i] - '0') * scale;
      scale /= kBase;
      ++i;
    }
  }
  return value;
}

}  // namespace

void MarkupScanner::ParseTag() {
  ScanState& s = state_;
  for (;;) {
    if (at_ >= Len()) return;  // the tag goes on in the next line
    const char c = line_[at_];
    if (c == '>') {
      LowerAngleDepth();
      ++at_;
      if (s.angleDepth == 0) {
        s.inTag = false;
        return;
      }
      continue;
    }
    if (c == '<') {
      ++s.angleDepth;
      // The next character that is not a space.
      at_ = Line().find_first_not_of(' ', at_ + 1);
      if (at_ == std::string_view::npos) at_ = Len();
      if (at_ >= Len()) return;
      switch (line_[at_]) {
        case '?':
          SkipPhpSection();
          s.inTag = false;
          return;
        case 'm':
        case 'M':
          if (StartsWithNoCase(at_, kMetaStart)) {
            HandleMetaTag();
            s.inTag = false;
            return;
          }
          break;
        case 'f':
        case 'F':
          if (StartsWithNoCase(at_, kFontStart)) {
            HandleFontTag();
            if (s.inTag) continue;
            return;
          }
          break;
        case '/':
          if (StartsWithNoCase(at_, kFontEnd)) {
            HandleFontEnd();
            LowerAngleDepth();
            s.inTag = false;
            return;
          }
          break;
        default:
          break;
      }
      ++at_;
      continue;
    }
    at_ = FindEitherByte(Line(), at_, '<', '>');
    if (at_ == std::string_view::npos) at_ = Len();
    if (at_ >= Len()) return;
  }
}

void MarkupScanner::HandleMetaTag() {
  ScanState& s = state_;
  s.inDescription = false;
  s.inExistingKeywords = false;
  at_ += kMetaStart.size();
  if (searches_.Next(LineSearches::kNameDescription, at_) < Len()) {
    const size_t p = searches_.Next(LineSearches::kFoldedContent, at_);
    if (p < Len()) {
      s.inDescription = true;
      at_ = p + kContentLength;
    }
  } else if (searches_.Next(LineSearches::kNameKeywords, at_) < Len() &&
             options_.weights.existingKeywords > 0) {
    const size_t p = searches_.Next(LineSearches::kContent, at_);
    if (p < Len()) {
      s.inExistingKeywords = true;
      at_ = p + kContentLength;
    }
  }
  if (!s.inDescription && !s.inExistingKeywords) {
    SkipInlinePhp();
    at_ = searches_.Next(LineSearches::kGreaterThan, at_);
    if (at_ + 1 < Len()) {
      LowerAngleDepth();
      ++at_;
    }
  }
}

void MarkupScanner::HandleFontTag() {
  ScanState& s = state_;
  if (searches_.Next(LineSearches::kPhpOpen, at_) < Len() || s.fontSizeOff) {
    // PHP in a font tag: font sizes are not followed for the rest of the run.
    SkipInlinePhp();
    const size_t p = searches_.Next(LineSearches::kGreaterThan, at_);
    if (p < Len()) {
      at_ = p + 1;
      LowerAngleDepth();
    }
    s.inFontTag = false;
    s.inTag = false;
    s.fontSizeOff = true;
    return;
  }
  at_ += kFontStart.size();
  s.inFontTag = true;
  s.fontSizeStack.push_back(s.fontSize);
  // The size attribute counts only when the line holds a later "font" (normally the end
  // tag) after it.
  const size_t sizeAt = searches_.Next(LineSearches::kSize, at_);
  const size_t fontAt = searches_.Next(LineSearches::kFont, at_);
  if (sizeAt < Len() && fontAt < Len() && sizeAt < fontAt) {
    // Only "size" written without inner spaces is read; the scan never moves back.
    const size_t at = searches_.Next(LineSearches::kFoldedSize, at_);
    if (at < Len()) {
      at_ = at + LineSearches::SqueezedPattern(LineSearches::kSize).size();
      at_ = searches_.Next(LineSearches::kNumberStart, at_);
      if (at_ < Len()) {
        const char c = line_[at_];
        const size_t next = at_ + 1;  // the index after c
        double size = 0;
        if (c == '+') {
          size = s.fontSize + LeadingDecimalNumber(Line(), next, kLargestFontNumber);
        } else if (c == '-') {
          size = s.fontSize - LeadingDecimalNumber(Line(), next, kLargestFontNumber);
        } else {
          size = LeadingDecimalNumber(Line(), at_, kLargestFontNumber);
        }
        size = std::nearbyint(size);  // halves to the even neighbour
        if (size < kMinFontSize) size = kMinFontSize;
        if (size > kMaxFontSize) size = kMaxFontSize;
        s.fontSize = static_cast<int32_t>(size);
      }
    }
  }
  at_ = searches_.Next(LineSearches::kGreaterThan, at_);
  if (at_ + 1 >= Len()) return;  // the tag ends in a later line
  LowerAngleDepth();
  s.inFontTag = false;
  s.inTag = false;
  ++at_;
}

void MarkupScanner::HandleFontEnd() {
  ScanState& s = state_;
  if (!s.fontSizeOff && !s.fontSizeStack.empty()) {
    s.fontSize = s.fontSizeStack.back();
    s.fontSizeStack.pop_back();
  }
  at_ = searches_.Next(LineSearches::kGreaterThan, at_) + 1;
}

void MarkupScanner::SkipPhpSection() {
  size_t p = searches_.Next(LineSearches::kPhpClose, at_ + 1);
  if (p < Len()) {
    at_ = p + kPhpMarkLength;
    LowerAngleDepth();
    return;
  }
  std::string_view next;
  while (listener_.ReadRawLine(next)) {
    // The line goes on as read: trimmed, nothing decoded or marked.
    const size_t first = next.find_first_not_of(' ');
    if (first == std::string_view::npos) continue;
    const size_t last = next.find_last_not_of(' ');
    line_.assign(next.substr(first, last - first + 1));
    LineReplaced();
    p = searches_.Next(LineSearches::kPhpClose, 0);
    if (p < Len()) {
      at_ = p + kPhpMarkLength;
      LowerAngleDepth();
      return;
    }
  }
  // The section is still open at the end of the document: nothing after it is text.
  reachedEnd_ = true;
  at_ = Len();
}

void MarkupScanner::SkipInlinePhp() {
  size_t search = at_;
  for (;;) {
    const size_t open = searches_.Next(LineSearches::kPhpOpen, search);
    if (open >= Len()) return;
    const size_t close = searches_.Next(LineSearches::kPhpClose, open + kPhpMarkLength);
    if (close >= Len()) return;
    at_ = close + kPhpMarkLength;
    search = at_;
  }
}

}  // namespace tw
