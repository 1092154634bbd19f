// Random markup for the agreement tests: lines made of the pieces that every step of the
// scan treats in its own way (tags of each kind and case, sections, meta and font tags, PHP,
// comments, scripts, references, markers, contractions, case variants and plurals, letters
// the code page classes oddly), so that a short random document reaches most of the cases
// where two implementations could part.
#pragma once

#include <random>
#include <string>
#include <vector>

#include "text/codepage.hpp"
#include "text/text.hpp"

namespace tw::test {

class RandomMarkup {
 public:
  explicit RandomMarkup(uint32_t seed) : rng_(seed) {}

  std::mt19937& rng() { return rng_; }
  size_t Below(size_t n) { return static_cast<size_t>(rng_() % n); }
  bool OneIn(size_t n) { return Below(n) == 0; }

  // A word from a small vocabulary, so that words recur, with case variants and plurals.
  Text Word() {
    static const std::vector<Text> stems = {u"cat",
                                            u"Cat",
                                            u"CAT",
                                            u"dog",
                                            u"Dog",
                                            u"garden",
                                            u"Garden",
                                            u"tools",
                                            u"tool",
                                            u"bus",
                                            u"bu",
                                            u"\u00e9t\u00e9",
                                            u"\u00c9t\u00e9",
                                            u"caf\u00e9",
                                            u"na\u00efve",
                                            u"\u0153uvre",
                                            u"\u0152uvre",
                                            u"\u0161ip",
                                            u"\u0160ip",
                                            u"\u00ffes",
                                            u"\u0178es",
                                            u"mix",
                                            u"civic",
                                            u"rhythm",
                                            u"html",
                                            u"quickly",
                                            u"limited",
                                            u"poly",
                                            u"monopoly",
                                            u"isn",
                                            u"didn",
                                            u"the",
                                            u"and",
                                            u"\u00df\u00e4t",
                                            u"ab",
                                            u"x",
                                            u"zzz",
                                            u"sea",
                                            u"seas",
                                            u"seass",
                                            u"content",
                                            u"size",
                                            u"font",
                                            u"name",
                                            u"meta",
                                            u"b",
                                            u"em"};
    static const std::vector<Text> endings = {u"", u"", u"", u"s", u"ss", u"S"};
    return stems[Below(stems.size())] + endings[Below(endings.size())];
  }

  // One piece of markup or text.
  Text Piece() {
    static const std::vector<Text> pieces = {u" ",
                                             u"  ",
                                             u"\t",
                                             u".",
                                             u",",
                                             u"!",
                                             u"'",
                                             u"-",
                                             u"\"",
                                             u"7",
                                             u"42",
                                             u"mp3",
                                             u"<",
                                             u">",
                                             u"<b>",
                                             u"</b>",
                                             u"<B>",
                                             u"</B>",
                                             u"<strong>",
                                             u"</STRONG>",
                                             u"<StRoNg>",
                                             u"<i>",
                                             u"</I>",
                                             u"<em>",
                                             u"</eM>",
                                             u"<title>",
                                             u"</Title>",
                                             u"<TITLE>",
                                             u"<h1>",
                                             u"</h1>",
                                             u"<H3>",
                                             u"</H3>",
                                             u"<h6>",
                                             u"</h6>",
                                             u"<h7>",
                                             u"<b >",
                                             u"<p>",
                                             u"</p>",
                                             u"<br/>",
                                             u"<a href=\"x\">",
                                             u"</a>",
                                             u"<table>",
                                             u"</table>",
                                             u"<TABLE border=1>",
                                             u"</Table>",
                                             u"<div>",
                                             u"</div>",
                                             u"<DIV class=x>",
                                             u"<span>",
                                             u"</span>",
                                             u"<Span>",
                                             u"</SPAN>",
                                             u"<td>",
                                             u"<tr>",
                                             u"<meta name=\"description\" content=\"",
                                             u"<META NAME = \"Description\" CONTENT=\"",
                                             u"<meta name=\"keywords\" content=\"",
                                             u"<meta name=\"keywords\" CONTENT=\"",
                                             u"<meta name=\"author\" content=\"x\">",
                                             u"<meta http-equiv=\"a\" content=\"b\">",
                                             u"<meta ",
                                             u"name=\"description\"",
                                             u"content",
                                             u"\">",
                                             u"<font size=5>",
                                             u"<font size=+2>",
                                             u"<font size=-1>",
                                             u"<font size=2.5>",
                                             u"<FONT SIZE=\"7\" color=red>",
                                             u"<font color=red>",
                                             u"<font size=",
                                             u"<font",
                                             u"</font>",
                                             u"</FONT>",
                                             u"size=3",
                                             u"<?php echo 'x'; ?>",
                                             u"<?",
                                             u"?>",
                                             u"<?php",
                                             u"<!--",
                                             u"-->",
                                             u"<!-- c -->",
                                             u"<style>",
                                             u"</style>",
                                             u"<STYLE type=x>",
                                             u"<script>",
                                             u"</script>",
                                             u"</SCRIPT>",
                                             u"&amp;",
                                             u"&nbsp;",
                                             u"&#160;",
                                             u"&quot;",
                                             u"&laquo;",
                                             u"&raquo;",
                                             u"&eacute;",
                                             u"&Eacute;",
                                             u"&copy;",
                                             u"&#8212;",
                                             u"&trade;",
                                             u"&lt;",
                                             u"&amp;amp;",
                                             u"&",
                                             u";",
                                             u"&x",
                                             u"&nbsp",
                                             u"AT&T",
                                             u"don't ",
                                             u"don't",
                                             u"Peter's ",
                                             u"we'D ",
                                             u"c'est-\u00e0-dire",
                                             u"\u00a0",
                                             u"\u0081",
                                             u"\u20ac",
                                             u"\u2019",
                                             u"\u02c6",
                                             u"\u02dc",
                                             u"\u00d7",
                                             u"\u00ab",
                                             u"\x01",
                                             u"\x07",
                                             u"\x0b",
                                             u"\x0e",
                                             u"\x10",
                                             u"\x11",
                                             u"\x1f",
                                             u"\u0192"};
    if (Below(5) < 2) return Word();
    return pieces[Below(pieces.size())];
  }

  // A line of `pieces` pieces (leading and trailing spaces now and then).
  Text Line(size_t pieces) {
    Text line;
    if (OneIn(6)) line += u"   ";
    for (size_t k = 0; k < pieces; ++k)
      line += Piece();
    if (OneIn(6)) line += u"  ";
    return line;
  }

  // A document of up to `lines` lines.
  std::vector<Text> Lines(size_t lines, size_t piecesPerLine) {
    std::vector<Text> out;
    const size_t n = 1 + Below(lines);
    for (size_t k = 0; k < n; ++k)
      out.push_back(OneIn(8) ? Text() : Line(1 + Below(piecesPerLine)));
    return out;
  }

 private:
  std::mt19937 rng_;
};

}  // namespace tw::test
