// The pages of a command line: each FILE given is a page, or a folder whose pages are found
// by walking it. The walk goes through a FileTree, so that a test can make any folder fail.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "text/message.hpp"

namespace tw::cli {

// An entry of a folder as the walk sees it.
struct FolderEntry {
  enum class Kind {
    Folder,        // a folder (not a link)
    LinkToFolder,  // a symbolic link whose target is a folder
    Other,         // a file, a link to a file, a dangling link, anything else
  };
  std::string name;
  Kind kind = Kind::Other;
  uint64_t size = 0;
};

class FileTree {
 public:
  virtual ~FileTree() = default;
  // Whether a FILE given on the command line is a folder (a link to a folder counts: the user
  // named it).
  virtual bool IsFolder(const std::filesystem::path& path);
  // The entries of a folder, in any order; an error when it cannot be read (it has gone, it
  // may not be read).
  virtual std::error_code List(const std::filesystem::path& folder,
                               std::vector<FolderEntry>& entries);
  // The size of a FILE given on the command line; 0 when unknown.
  virtual uint64_t SizeOf(const std::filesystem::path& path);
  // What tells two names of one file apart from two files: the canonical path where it can
  // be had, else the absolute one.
  virtual std::string IdentityOf(const std::filesystem::path& path);
};

FileTree& RealFileTree();

// One item of a run: a page to work on, or a FILE that yielded no page, with the message
// that says why.
struct PageSource {
  std::string path;  // as given, or the folder given followed by the page's own path
  uint64_t size = 0;
  std::optional<Message> problem;
};

// The extensions of pages, compared in any case.
bool IsPageName(std::string_view name);

// The pages of the FILEs, in the order given; a folder's pages sorted by path. A page named
// twice (by the same path or through a folder) is taken once, where it first comes. A folder
// without pages, and a folder that cannot be read, are items with a problem.
std::vector<PageSource> CollectPages(std::span<const std::string> files,
                                     FileTree& tree = RealFileTree());

}  // namespace tw::cli
