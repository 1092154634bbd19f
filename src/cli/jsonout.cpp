// The JSON objects of pages.
#include "cli/jsonout.hpp"

#include "cli/clihost.hpp"
#include "cli/pagework.hpp"
#include "tags/report.hpp"
#include "text/codepage.hpp"

namespace tw::cli {

using nlohmann::json;

json JsonText(TextView text) {
  return json(ToUtf8(text));
}

json JsonPath(std::string_view path) {
  return json(std::string(path));
}

json JsonMessage(const Message& message) {
  return json{{"caption", OneLine(message.caption)}, {"text", OneLine(message.text)}};
}

std::string JsonLine(const json& object) {
  return object.dump(-1, ' ', false, json::error_handler_t::replace) + "\n";
}

namespace {

json JsonTexts(const std::vector<Text>& texts) {
  json list = json::array();
  for (const Text& text : texts)
    list.push_back(JsonText(text));
  return list;
}

json ExistingJson(const ExistingTags& tags) {
  json existing = json::object();
  existing["title"] = tags.title ? JsonText(*tags.title) : json(nullptr);
  existing["description"] = nullptr;
  if (tags.descriptionTag)
    existing["description"] = JsonText(MetaTagContent(*tags.descriptionTag).value_or(Text()));
  existing["keywords"] = nullptr;
  if (tags.keywordsTag)
    existing["keywords"] =
        JsonTexts(SplitKeywords(MetaTagContent(*tags.keywordsTag).value_or(Text())));
  return existing;
}

}  // namespace

std::string PageJsonLine(const PageSource& source, const PageFacts& facts) {
  json page = json::object();
  page["path"] = JsonPath(source.path);
  if (facts.language)
    page["language"] = json{{"code", facts.language->code}, {"source", facts.language->source}};
  if (facts.existing) page["existing"] = ExistingJson(*facts.existing);
  if (facts.tagged) {
    page["tag"] = facts.tag.empty() ? json(nullptr) : JsonText(facts.tag);
    page["keywords"] = JsonTexts(facts.keywords);
    page["counts"] = json{{"keywords", facts.keywordCount}, {"bytes", facts.tagBytes}};
  }
  if (facts.words) {
    json words = json::array();
    for (const WordFact& w : *facts.words) {
      words.push_back(json{{"word", ToUtf8(w.word)},
                           {"value", w.value},
                           {"frequency", w.frequency},
                           {"density", w.density}});
    }
    page["words"] = std::move(words);
  }
  if (facts.inserted) page["inserted"] = *facts.inserted;
  if (facts.inserted && *facts.inserted)
    page["backup"] = facts.backup ? JsonPath(ToUtf8FileName(*facts.backup)) : json(nullptr);
  if (facts.diff) page["diff"] = *facts.diff;
  if (facts.error) page["error"] = JsonMessage(*facts.error);
  return JsonLine(page);
}

}  // namespace tw::cli
