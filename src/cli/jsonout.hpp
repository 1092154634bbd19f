// The JSON of the command line (JSON Lines: one object per line), written with nlohmann-json.
#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

#include "cli/pages.hpp"
#include "text/message.hpp"
#include "text/text.hpp"

namespace tw::cli {

struct PageFacts;

// A text in UTF-8.
nlohmann::json JsonText(TextView text);
// A path as bytes; bytes that are not UTF-8 become U+FFFD when written.
nlohmann::json JsonPath(std::string_view path);
// {"caption": ..., "text": ...}, each on one line as the message line on stderr.
nlohmann::json JsonMessage(const Message& message);
// The object on one line, with its line end.
std::string JsonLine(const nlohmann::json& object);

// The object of one page: its path and whatever its work found out (see docs/cli.md).
std::string PageJsonLine(const PageSource& source, const PageFacts& facts);

}  // namespace tw::cli
