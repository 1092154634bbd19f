// tagwright-cli: the engine's commands for scripts and batch use.
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "cli/commands.hpp"
#include "cli/options.hpp"

int main(int argc, char** argv) {
  using namespace tw::cli;
  try {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) return UsageError("no COMMAND given");
    if (args.front() == "-h" || args.front() == "--help") {
      const std::string usage = Usage();
      std::fwrite(usage.data(), 1, usage.size(), stdout);
      return kExitOk;
    }
    if (args.front() == "--version") {
      std::fputs("tagwright-cli " TAGWRIGHT_VERSION "\n", stdout);
      return kExitOk;
    }
    const CliCommand* command = FindCommand(args.front());
    if (command == nullptr) return UsageError("unknown command: " + args.front());
    return command->run(std::span<const std::string>(args).subspan(1));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "Error: %s\n", e.what());
    return kExitMessage;
  }
}
