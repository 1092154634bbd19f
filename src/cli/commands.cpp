// The command table and the usage text.
#include "cli/commands.hpp"

#include "cli/options.hpp"

namespace tw::cli {

const std::vector<CliCommand>& AllCommands() {
  static const std::vector<CliCommand> commands = {
      ListCommand(), TagCommand(), ShowCommand(), InsertCommand(), ReportCommand(),
      // Further commands: one line each, in the order the usage text lists them.
  };
  return commands;
}

const CliCommand* FindCommand(std::string_view name) {
  for (const CliCommand& c : AllCommands()) {
    if (c.name == name) return &c;
  }
  return nullptr;
}

std::string Usage() {
  constexpr size_t kSynopsisColumn = 36;
  std::string text =
      "Usage: tagwright-cli COMMAND FILE... [OPTIONS]\n"
      "  or:  tagwright-cli --help | --version\n\nCommands:\n";
  for (const CliCommand& c : AllCommands()) {
    std::string line = "  tagwright-cli ";
    line += c.synopsis;
    if (line.size() + 1 < kSynopsisColumn)
      line.resize(kSynopsisColumn, ' ');
    else
      line += "  ";
    line += c.summary;
    text += line + "\n";
  }
  text +=
      "\nA FILE may be a folder: its pages (.htm, .html, .shtml, .php, in any case) are taken\n"
      "in the order of their paths, with those of its subfolders; hidden folders, links to\n"
      "folders and the backups that insert leaves (NAME.bak.EXT beside NAME.EXT) are passed\n"
      "over. With several FILEs, or a folder, each page is headed by \"==> FILE <==\".\n\n";
  text += AnalysisOptionsHelp();
  text += "  --version                   the program's name and version\n";
  return text;
}

}  // namespace tw::cli
