// The commands of tagwright-cli: one table, so that the dispatcher and the usage text know
// every command. A command parses its own arguments with ParseCommandLine (options.hpp).
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tw::cli {

struct CliCommand {
  std::string_view name;                          // "list"
  std::string_view synopsis;                      // "list FILE [OPTIONS]"
  std::string_view summary;                       // one line for the usage text
  int (*run)(std::span<const std::string> args);  // the arguments after the name
};

// The analysis commands (analysiscommands.cpp).
CliCommand ListCommand();
CliCommand TagCommand();
// Commands of other files are declared here and listed in AllCommands() (commands.cpp).
// The commands on the document's own tags (tagcommands.cpp).
CliCommand ShowCommand();
CliCommand InsertCommand();

const std::vector<CliCommand>& AllCommands();
const CliCommand* FindCommand(std::string_view name);

// The whole usage text.
std::string Usage();

}  // namespace tw::cli
