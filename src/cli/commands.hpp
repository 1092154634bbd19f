// The commands of tagwright-cli: one table, so that the parser, the dispatcher and the usage
// text know every command and the options each one takes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tw::cli {

struct CommandLine;

struct CliCommand {
  std::string_view name;      // "list"
  std::string_view synopsis;  // "list FILE [OPTIONS]"
  std::string_view summary;   // one line for the usage text
  bool analysisOptions;       // takes the analysis options (--title-weight ...)
  bool insertOptions;         // takes --backup and --dry-run
  int (*run)(const CommandLine& line);
};

// The analysis commands (analysiscommands.cpp).
CliCommand ListCommand();
CliCommand TagCommand();
// The commands on the document's own tags (tagcommands.cpp).
CliCommand ShowCommand();
CliCommand InsertCommand();
// The summary of a whole site (sitereport.cpp).
CliCommand ReportCommand();

const std::vector<CliCommand>& AllCommands();
const CliCommand* FindCommand(std::string_view name);

// The whole usage text.
std::string Usage();

}  // namespace tw::cli
