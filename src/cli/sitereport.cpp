// "report": a summary of a whole site: the pages read and failed, the pages without a title,
// a description or a keywords tag, the titles that several pages share, and how far the
// keywords that pages carry have drifted from the keywords their text gives now.
#include <algorithm>
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "cli/commands.hpp"
#include "cli/jsonout.hpp"
#include "cli/options.hpp"
#include "cli/pagework.hpp"
#include "tags/report.hpp"
#include "text/chars.hpp"
#include "text/codepage.hpp"
#include "text/strproc.hpp"

namespace tw::cli {

namespace {

using nlohmann::json;

// How many of a page's own keywords are among those generated from its text.
struct KeywordDrift {
  std::string path;
  size_t existing = 0;
  size_t found = 0;
};

class SiteReport {
 public:
  void Take(const PageSource& source, const PageOutcome& outcome) {
    if (outcome.failed) {
      failed_.emplace_back(source.path, outcome.facts.error.value_or(Message{}));
      return;
    }
    ++read_;
    const ExistingTags tags = outcome.facts.existing.value_or(ExistingTags{});
    const Text title = tags.title ? TrimSpaces(*tags.title) : Text();
    if (title.empty()) {
      withoutTitle_.push_back(source.path);
    } else {
      auto [at, isNew] = titles_.try_emplace(title);
      if (isNew) titleOrder_.push_back(title);
      at->second.push_back(source.path);
    }
    if (!tags.descriptionTag) withoutDescription_.push_back(source.path);
    if (!tags.keywordsTag) {
      withoutKeywords_.push_back(source.path);
      return;
    }
    const std::vector<Text> existing =
        SplitKeywords(MetaTagContent(*tags.keywordsTag).value_or(Text()));
    if (existing.empty()) return;
    std::set<Text> generated;
    for (const Text& keyword : outcome.facts.keywords)
      generated.insert(ToLowerGeneral(keyword));
    KeywordDrift drift{source.path, existing.size(), 0};
    for (const Text& keyword : existing)
      drift.found += generated.count(ToLowerGeneral(keyword));
    drifts_.push_back(std::move(drift));
  }

  // The titles of more than one page, in the order they first came.
  std::vector<std::pair<Text, std::vector<std::string>>> SharedTitles() const {
    std::vector<std::pair<Text, std::vector<std::string>>> shared;
    for (const Text& title : titleOrder_) {
      const std::vector<std::string>& pages = titles_.at(title);
      if (pages.size() > 1) shared.emplace_back(title, pages);
    }
    return shared;
  }

  // The furthest drift first: the smallest share of keywords found; among equal shares, the
  // page with more keywords; then the pages' order.
  std::vector<KeywordDrift> Drifts() const {
    std::vector<KeywordDrift> sorted = drifts_;
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const KeywordDrift& a, const KeywordDrift& b) {
                       const size_t left = a.found * b.existing;
                       const size_t right = b.found * a.existing;
                       if (left != right) return left < right;
                       return a.existing > b.existing;
                     });
    return sorted;
  }

  std::string AsText() const {
    std::string out;
    out += "Pages read: " + std::to_string(read_) + "\n";
    out += "Pages failed: " + std::to_string(failed_.size()) + "\n";
    out += "Pages without a title: " + std::to_string(withoutTitle_.size()) + "\n";
    out += "Pages without a description: " + std::to_string(withoutDescription_.size()) + "\n";
    out += "Pages without a keywords tag: " + std::to_string(withoutKeywords_.size()) + "\n";
    const auto shared = SharedTitles();
    if (!shared.empty()) {
      out += "\nTitles shared by several pages:\n";
      for (const auto& [title, pages] : shared) {
        out += "  " + OneLine(title) + "\n";
        for (const std::string& page : pages)
          out += "    " + page + "\n";
      }
    }
    const auto drifts = Drifts();
    if (!drifts.empty()) {
      out += "\nTheir own keywords among those generated, furthest drift first:\n";
      for (const KeywordDrift& d : drifts) {
        out += "  " + std::to_string(d.found) + " of " + std::to_string(d.existing) + "  " +
               d.path + "\n";
      }
    }
    if (!failed_.empty()) {
      out += "\nPages that failed:\n";
      for (const auto& [path, message] : failed_)
        out += "  " + path + "\n    " + MessageLine(message) + "\n";
    }
    return out;
  }

  bool empty() const { return read_ == 0 && failed_.empty(); }

  std::string Json() const {
    auto paths = [](const std::vector<std::string>& list) {
      json array = json::array();
      for (const std::string& path : list)
        array.push_back(JsonPath(path));
      return array;
    };
    json report = json::object();
    report["pagesRead"] = read_;
    report["pagesFailed"] = failed_.size();
    report["withoutTitle"] = paths(withoutTitle_);
    report["withoutDescription"] = paths(withoutDescription_);
    report["withoutKeywords"] = paths(withoutKeywords_);
    json shared = json::array();
    for (const auto& [title, pages] : SharedTitles())
      shared.push_back(json{{"title", JsonText(title)}, {"pages", paths(pages)}});
    report["sharedTitles"] = std::move(shared);
    json drifts = json::array();
    for (const KeywordDrift& d : Drifts()) {
      drifts.push_back(
          json{{"path", JsonPath(d.path)}, {"existing", d.existing}, {"found", d.found}});
    }
    report["keywordsFound"] = std::move(drifts);
    json failed = json::array();
    for (const auto& [path, message] : failed_)
      failed.push_back(json{{"path", JsonPath(path)}, {"error", JsonMessage(message)}});
    report["failed"] = std::move(failed);
    return JsonLine(report);
  }

 private:
  size_t read_ = 0;
  std::vector<std::pair<std::string, Message>> failed_;
  std::vector<std::string> withoutTitle_;
  std::vector<std::string> withoutDescription_;
  std::vector<std::string> withoutKeywords_;
  std::map<tw::Text, std::vector<std::string>> titles_;
  std::vector<tw::Text> titleOrder_;
  std::vector<KeywordDrift> drifts_;
};

void ReportPage(const PageJob& job, CliHost& host, PageOutcome& outcome) {
  AnalysePage(job, host, outcome, true);
  outcome.out.clear();
}

int RunReport(const CommandLine& line) {
  SiteReport report;
  const int status = RunOverPages(
      line,
      PageCommand{&ReportPage, true, [&report](const PageSource& source, PageOutcome& outcome) {
                    report.Take(source, outcome);
                  }});
  // Nothing was run: the program could not start (its message has been shown).
  if (report.empty()) return status;
  const std::string out = line.run.json ? report.Json() : report.AsText();
  std::fwrite(out.data(), 1, out.size(), stdout);
  std::fflush(stdout);
  return status;
}

}  // namespace

CliCommand ReportCommand() {
  return {"report",
          "report FILE [OPTIONS]",
          "a summary of the pages: missing and shared titles, tags, keywords drift",
          true,
          false,
          &RunReport};
}

}  // namespace tw::cli
