// The keywords meta tag built from the ranked table, led by the user's phrases, within the
// maximum numbers of keywords and bytes, followed by its two count lines.
#pragma once

#include <span>

#include "core/options.hpp"
#include "text/text.hpp"
#include "words/wordtable.hpp"

namespace tw {

inline constexpr TextView kMetaTagPrefix = u"<meta name=\"keywords\" content=\"";
inline constexpr TextView kNumberOfKeywordsLine = u"Number of keywords in meta tag:";
inline constexpr TextView kNumberOfBytesLine = u"Number of bytes in meta tag:";

// How the document that gets the tag is encoded: the limit of bytes and the count of bytes
// are the bytes the tag takes there.
enum class TagEncoding { SingleByte, Utf8 };

// The output box text: the tag and its two count lines. An empty table gives the no-words
// sentence.
Text BuildKeywordTagText(const WordTable& table, const AnalysisOptions& options,
                         TagEncoding encoding = TagEncoding::SingleByte);
// The same from entries given in rank order.
Text BuildKeywordTagText(std::span<const WordEntry> ranked, const AnalysisOptions& options,
                         TagEncoding encoding = TagEncoding::SingleByte);

}  // namespace tw
