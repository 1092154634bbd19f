// The walk of the markup scanner over a prepared line: plain characters passed over, skipped
// blocks and sections, markers, references and words. The tags themselves are read in
// scantags.cpp; every search that looks at "the rest of the line" goes through LineSearches.
#include "scan/scanner.hpp"

#include "text/textsearch.hpp"

namespace tw {

namespace {

constexpr std::string_view kCommentOpen = "<!--";
constexpr std::string_view kCommentClose = "-->";
constexpr std::string_view kStyleOpen = "<style";
constexpr std::string_view kStyleClose = "</style>";
constexpr std::string_view kScriptOpen = "<script";
constexpr std::string_view kScriptClose = "</script>";

struct SectionMarkers {
  std::string_view opening;
  std::string_view closing;
};
constexpr SectionMarkers kTableMarkers{"<table", "</table>"};
constexpr SectionMarkers kDivMarkers{"<div", "</div>"};
constexpr SectionMarkers kSpanMarkers{"<span", "</span>"};

const SectionMarkers& MarkersOf(SectionKind kind) {
  return kind == SectionKind::Table ? kTableMarkers
         : kind == SectionKind::Div ? kDivMarkers
                                    : kSpanMarkers;
}

}  // namespace

void ScanState::PutContext(OccurrenceContext& c) const {
  c.blnInTitle = inTitle;
  c.blnInDescription = inDescription;
  c.blnInExistingKeywords = inExistingKeywords;
  c.blnBold = bold;
  c.blnItalic = italic;
  c.intHeadingWeight = headingWeight;
  c.intFontSize = fontSize;
  c.intTableDepth = tableDepth;
  c.intDivDepth = divDepth;
  c.intSpanDepth = spanDepth;
}

MarkupScanner::MarkupScanner(const ScanOptions& options, ScanListener& listener)
    : options_(options), listener_(listener), letters_(PositionOf(options.language)) {
  for (size_t b = 0; b < plain_.size(); ++b) {
    const auto c = static_cast<char>(b);
    plain_[b] = !letters_.IsLetter(static_cast<unsigned char>(b)) && c != '<' && c != '>' &&
                c != '&' && !IsMarker(c);
  }
}

void MarkupScanner::Reset() {
  letters_ = WordLetters(PositionOf(options_.language));
  state_ = ScanState{};
  line_.clear();
  at_ = 0;
  wordCount_ = 0;
  reachedEnd_ = false;
  LineReplaced();
}

bool MarkupScanner::ScanLine(std::string_view rawLine, bool decodeUtf8, bool lower) {
  if (!TakeLine(rawLine, decodeUtf8, lower)) return false;
  ScanTakenLine();
  return true;
}

bool MarkupScanner::TakeLine(std::string_view rawLine, bool decodeUtf8, bool lower) {
  return PrepareScanLine(rawLine, decodeUtf8, lower, line_);
}

bool MarkupScanner::TakeLineInPlace(std::unique_ptr<char[]> room, size_t roomSize,
                                    std::string_view rawLine, bool decodeUtf8, bool lower) {
  return PrepareScanLineInPlace(std::move(room), roomSize, rawLine, decodeUtf8, lower, line_);
}

void MarkupScanner::ScanTakenLine() {
  Walk();
}

bool MarkupScanner::SkippingSection() const {
  const ContextWeights& w = options_.weights;
  return (state_.tableDepth > 0 && w.table == 0) || (state_.divDepth > 0 && w.div == 0) ||
         (state_.spanDepth > 0 && w.span == 0);
}

inline Occurrence MarkupScanner::MakeContext() {
  state_.PutContext(context_);
  return OccurrenceOf(context_, options_.weights);
}

inline void MarkupScanner::ExtractWord(const OccurrenceContext& context, Occurrence occurrence) {
  const WordCut cut = letters_.Cut(Line(), at_);
  if (!cut.contraction) {
    ++wordCount_;
    listener_.AddWord(Line().substr(at_, cut.length), context, occurrence);
  }
  at_ = cut.next;
}

void MarkupScanner::Walk() {
  at_ = 0;
  LineReplaced();
  ScanState& s = state_;
  const ContextWeights& w = options_.weights;
  for (;;) {
    // A PHP section over lines replaces the line: its length is taken afresh every time.
    const size_t len = Len();
    const auto* line = reinterpret_cast<const unsigned char*>(Line().data());
    const bool skippingSection = SkippingSection();
    if (!skippingSection && !s.inFontTag && !s.inComment && !s.inStyle && !s.inScript && !s.inTag) {
      // Text: plain characters are passed over and words cut out until something else comes
      // up. Nothing here changes the context, so it is made once for the whole run, when its
      // first word comes (many runs between two tags hold none).
      Occurrence occurrence;
      bool contextMade = false;
      for (;;) {
        // (A byte of the line could be a byte of at_ for all the compiler knows: the walk goes
        // on in a copy, which stays in a register.)
        size_t at = at_;
        while (at + 1 < len && plain_[line[at]])
          ++at;
        at_ = at;
        if (at >= len) return;
        if (at + 1 == len && line[at] == ' ') return;
        if (!letters_.IsLetter(line[at])) break;
        if (!contextMade) {
          occurrence = MakeContext();
          contextMade = true;
        }
        ExtractWord(context_, occurrence);
        if (listener_.AfterWord()) return;
      }
    }

    // End of the line, or only the space the run appended is left.
    if (at_ >= len) return;
    if (at_ + 1 == len && line[at_] == ' ') return;

    // Sections skipped since an earlier line.
    if (skippingSection) {
      if (s.tableDepth > 0 && w.table == 0 && !SkipSection(SectionKind::Table)) return;
      if (s.divDepth > 0 && w.div == 0 && !SkipSection(SectionKind::Div)) return;
      if (s.spanDepth > 0 && w.span == 0 && !SkipSection(SectionKind::Span)) return;
    }

    // A font start tag whose ">" was not in the earlier line.
    if (s.inFontTag) {
      at_ = searches_.Next(LineSearches::kGreaterThan, at_);
      if (at_ + 1 < Len()) {
        LowerAngleDepth();
        ++at_;
      }
      s.inFontTag = false;
      s.inTag = false;
    }

    const bool atAngle = Ch(at_) == '<';
    const unsigned char next = atAngle ? FoldAsciiCase(static_cast<unsigned char>(Ch(at_ + 1))) : 0;
    if (atAngle) {
      // A section skipped whole within this line: look at what follows it from the first
      // step, so that a closing tag right behind it (</div> after a skipped span) is not
      // passed over. Of the three section steps only the one whose tag can begin here may act.
      const unsigned char name =
          next == '/' ? FoldAsciiCase(static_cast<unsigned char>(Ch(at_ + 2))) : next;
      const size_t beforeSections = at_;
      if (name == 't' && !HandleSection(SectionKind::Table)) return;
      if (name == 'd' && !HandleSection(SectionKind::Div)) return;
      if (name == 's' && !HandleSection(SectionKind::Span)) return;
      if (at_ != beforeSections) continue;
    }

    if (s.inComment || (atAngle && next == '!' && Line().substr(at_).starts_with(kCommentOpen))) {
      s.inComment = !SkipToMarker(kCommentClose);
      if (s.inComment) return;
      continue;
    }
    if (s.inStyle || (atAngle && next == 's' && StartsWithNoCase(at_, kStyleOpen))) {
      s.inStyle = !SkipToMarker(kStyleClose);
      if (s.inStyle) return;
      continue;
    }
    if (s.inScript || (atAngle && next == 's' && StartsWithNoCase(at_, kScriptOpen))) {
      s.inScript = !SkipToMarker(kScriptClose);
      if (s.inScript) return;
      continue;
    }

    const char c = Ch(at_);
    if (c == '<' || s.inTag) {
      s.inTag = true;
      ParseTag();
      continue;
    }
    if (c == '>') {
      // Usually the end of a description or keywords meta tag whose content was text.
      s.inFontTag = false;
      s.inDescription = false;
      s.inExistingKeywords = false;
      LowerAngleDepth();
      ++at_;
      continue;
    }
    if (c != 0 && IsMarker(c)) {
      HandleMarker(c);
      ++at_;
      continue;
    }
    if (c == '&') {
      // A reference that was not decoded is passed over whole.
      const size_t semicolon = searches_.Next(LineSearches::kSemicolon, at_);
      if (semicolon < searches_.Next(LineSearches::kSpace, at_)) {
        at_ = semicolon + 1;
        continue;
      }
    }
    if (c != 0 && letters_.IsLetter(static_cast<unsigned char>(c))) {
      ExtractWord(context_, MakeContext());
      if (listener_.AfterWord()) return;
      continue;
    }
    ++at_;
  }
}

void MarkupScanner::HandleMarker(char c) {
  ScanState& s = state_;
  switch (c) {
    case marker::kBoldOn:
      s.bold = true;
      break;
    case marker::kBoldOff:
      s.bold = false;
      break;
    case marker::kItalicOn:
      s.italic = true;
      break;
    case marker::kItalicOff:
      s.italic = false;
      break;
    case marker::kTitleOn:
      s.inTitle = true;
      break;
    case marker::kTitleOff:
      s.inTitle = false;
      break;
    case marker::kHeadingOff:
      s.headingWeight = 0;
      break;
    default:
      s.headingWeight = kHeadingWeightPerLevel * c;
      break;
  }
}

bool MarkupScanner::HandleSection(SectionKind kind) {
  if (Ch(at_) != '<') return true;
  const SectionMarkers& m = MarkersOf(kind);
  int32_t& depth = kind == SectionKind::Table ? state_.tableDepth
                   : kind == SectionKind::Div ? state_.divDepth
                                              : state_.spanDepth;
  const ContextWeights& w = options_.weights;
  const int32_t weight = kind == SectionKind::Table ? w.table
                         : kind == SectionKind::Div ? w.div
                                                    : w.span;
  if (StartsWithNoCase(at_, m.opening)) {
    if (weight > 0) {
      ++depth;  // the tag itself is skipped as markup later
    } else if (!SkipSection(kind)) {
      return false;
    }
  } else if (StartsWithNoCase(at_, m.closing) && weight > 0 && depth > 0) {
    --depth;
  }
  return true;
}

bool MarkupScanner::SkipSection(SectionKind kind) {
  const SectionMarkers& m = MarkersOf(kind);
  int32_t& depth = kind == SectionKind::Table ? state_.tableDepth
                   : kind == SectionKind::Div ? state_.divDepth
                                              : state_.spanDepth;
  const std::string_view line = Line();
  size_t i = at_;
  // Only a "<" can begin an opening or a closing text.
  while ((i = line.find('<', i)) != std::string_view::npos) {
    if (MatchesFolded(line, i, m.opening)) {
      ++depth;
      i += m.opening.size();
    } else if (MatchesFolded(line, i, m.closing)) {
      if (depth > 0) --depth;
      i += m.closing.size();
      if (depth == 0) {
        at_ = i;
        return true;
      }
    } else {
      ++i;
    }
  }
  at_ = Len();
  return false;
}

bool MarkupScanner::SkipToMarker(std::string_view closing) {
  const size_t p = FindNoCase(Line(), at_, closing);
  if (p != std::string_view::npos) {
    at_ = p + closing.size();
    return true;
  }
  at_ = Len();
  return false;
}

}  // namespace tw
