// The help window's text.
#include "app/qt/helptext.hpp"

#include <initializer_list>

namespace tw {

namespace {

const Text kParagraphBreak = u"\r\n\r\n";
const Text kLineBreak = u"\r\n";

Text Lines(std::initializer_list<TextView> lines) {
  Text out;
  for (TextView line : lines) {
    if (!out.empty()) out += kLineBreak;
    out += line;
  }
  return out;
}

}  // namespace

Text BuildHelpText(TextView manualAddress) {
  Text help;
  auto paragraph = [&help](const Text& text) {
    if (!help.empty()) help += kParagraphBreak;
    help += text;
  };

  paragraph(u"An illustrated version of this documentation, the user manual, can be found at " +
            Text(manualAddress) +
            u" (click on \"Online user manual\" at the bottom of the main window to open it). "
            u"This help window may be resized "
            u"or maximized for easier reading.");

  paragraph(Lines({
      u"Tagwright counts the occurrences of words in an HTML document or PHP script, ignores "
      u"common words, and builds the keywords meta tag from the most frequent words. It gives "
      u"more (or less) importance to words which occur in certain places:",
      u"(a) in the title, <TITLE>...</TITLE>",
      u"(b) in the description, <META NAME=\"description\" CONTENT=\"...\">",
      u"(c) among existing keywords, <META NAME=\"keywords\" CONTENT=\"...\">",
      u"(d) in a heading, e.g., <H4>...</H4>",
      u"(e) in boldface, <B>...</B> and <STRONG>...</STRONG>",
      u"(f) in italics, <I>...</I> and <EM>...</EM>",
      u"(g) in a table, <TABLE>...</TABLE> and",
      u"(h) within <DIV>...</DIV> and <SPAN>...</SPAN>.",
  }));

  paragraph(
      u"You can control the amount of weight given to words occurring in these contexts, "
      u"as follows:");
  paragraph(
      u"Words in boldface can be given a weight of 1 to 9. A weight of 5 means that an "
      u"occurrence of a word in boldface counts five times as much as a word which does not "
      u"occur in boldface. Set this to 1 to give bold and non-bold words equal weight. "
      u"Words in italics are weighted in the same way by the italic/emphasis weight.");
  paragraph(
      u"Words in a table, <TABLE>...</TABLE>, can be given a weight of 0 to 9 in the same "
      u"way. "
      u"Words within <DIV> and <SPAN> tags can be given a weight of 0 to 9. Set this to 0 "
      u"if words within these tags are to be ignored.  "
      u"These tags can be nested.  The degree of nesting does not affect the weighting.");
  paragraph(
      u"Words in a heading <Hn> are given a weight of 5 times (7 minus the heading level), "
      u"e.g., words in <H4>...</H4> get a weight of 5 *(7 - 4) = 15.");
  paragraph(
      u"Words in the title and in the description meta tag have weights of their own, 10 "
      u"to 90 (\"TITLE weight\" and \"Description weight\"). The existing keywords weight, "
      u"0 to 90, applies to the words of the keywords meta tag that the document already "
      u"has; a weight of 0 means that existing keywords are ignored.");

  paragraph(
      u"To choose the document, click on \"Input file\" and pick an HTML document (a file "
      u"whose extension contains \"htm\", such as .htm, .html or .shtml) or a PHP script "
      u"(extension \"php\"). When the document declares its language, the language of the "
      u"common words follows it.");
  paragraph(
      u"Click on \"Show existing keywords etc.\" to see the keywords meta tag that the "
      u"document already carries, together with its title and its description.");
  paragraph(
      u"Short words, of as many characters as \"Ignore words with ... characters or less\" "
      u"gives, can be ignored, and so can common words (such as \"the\", \"and\" or "
      u"\"with\") of the language chosen beside \"Ignore common words in\". Ignoring common "
      u"words is the default and is recommended. Any other words that should never become "
      u"keywords can be typed into \"Ignore these words\", separated by commas or spaces.");
  paragraph(
      u"The meta tag holds at most as many keywords as \"Maximum number of keywords in meta "
      u"tag\" says (5 to 100), and at most as many bytes as \"Maximum number of bytes in meta "
      u"tag\" says (up to 1000; leave this box empty for no limit on the length).");
  paragraph(
      u"A word is taken into account only if it occurs in the document at least as often as "
      u"\"Minimum frequency for word\" says.");

  paragraph(Lines({
      u"There are two ways to get a result:",
      u"(i) click on 'List words' to get a list of the words satisfying "
      u"the selection criteria, together with their keyword value, frequency and density or",
      u"(ii) click on 'Generate/show keywords meta tag' to get the meta tag.",
  }));
  paragraph(
      u"Keyword density is the number of occurrences of a keyword "
      u"divided by the total number of words in the document.");
  paragraph(
      u"While the document is being read, 'List words' turns into 'Stop', which ends the "
      u"reading early. Tick \"Show words as found\" to watch the words appear as they are "
      u"found.");

  paragraph(
      u"Phrases typed into \"Begin meta tag with\", separated by commas, lead the meta tag, "
      u"ahead of the keywords found in the document. The meta tag in the output box can be "
      u"edited before it is used. \"Copy to clipboard\" copies the meta tag alone, without "
      u"the lines that count its keywords and bytes, ready to be pasted into a web page. "
      u"\"Insert meta tag into file\" writes it into the document itself: it replaces a "
      u"keywords meta tag that stands on one line, or else goes just before </HEAD>. With "
      u"backup, the original document is kept under a name with \"bak\" before its "
      u"extension (index.html becomes index.bak.html).");

  paragraph(
      u"PHP files: the PHP sections, between \"<?\" and \"?>\", are skipped, so text that "
      u"the PHP code writes out is not scanned. Apart from that a PHP script is treated "
      u"like an HTML document; the only difference is that inserting the meta tag into a "
      u"PHP file always makes a backup copy first.");
  return help;
}

}  // namespace tw
