// tagwright-cli: the engine's commands for scripts and batch use.
#include <cstdio>
#include <exception>
#include <string>
#include <variant>
#include <vector>

#include "cli/commands.hpp"
#include "cli/options.hpp"

int main(int argc, char** argv) {
  using namespace tw::cli;
  try {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const ParseResult parsed = ParseArguments(args);
    if (const auto* problem = std::get_if<UsageProblem>(&parsed))
      return UsageError(problem->reason);
    const ParsedArguments& arguments = std::get<ParsedArguments>(parsed);
    switch (arguments.action) {
      case ParsedArguments::Action::Help: {
        const std::string usage = Usage();
        std::fwrite(usage.data(), 1, usage.size(), stdout);
        return kExitOk;
      }
      case ParsedArguments::Action::Version:
        std::fputs("tagwright-cli " TAGWRIGHT_VERSION "\n", stdout);
        return kExitOk;
      case ParsedArguments::Action::Run:
        break;
    }
    return arguments.command->run(arguments.line);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "Error: %s\n", e.what());
    return kExitMessage;
  }
}
