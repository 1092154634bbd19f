// Walking the FILEs of a command line for pages.
#include "cli/pages.hpp"

#include <algorithm>
#include <set>
#include <unordered_set>

#include "tags/insert.hpp"
#include "text/chars.hpp"
#include "text/codepage.hpp"

namespace tw::cli {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kPageExtensions[] = {".htm", ".html", ".shtml", ".php"};
constexpr TextView kFolderErrorCaption = u"Error";
constexpr TextView kNoPagesCaption = u"No pages";
constexpr TextView kNoPagesText =
    u"The folder and its subfolders hold no .htm, .html, .shtml or .php file.";

// A page found by the walk, with the path it is reached by.
struct Found {
  PageSource source;
  fs::path path;
};

std::string Join(const std::string& folder, const std::string& name) {
  if (folder.empty() || folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

Message FolderError(const std::error_code& error) {
  return Message{Text(kFolderErrorCaption),
                 u"Error while reading the folder: " + FromUtf8(error.message()), MsgIcon::Warning};
}

// The names of the backups that an insertion with backup leaves beside these pages.
std::set<std::string> BackupNames(const std::vector<FolderEntry>& entries) {
  std::set<std::string> backups;
  for (const FolderEntry& e : entries) {
    if (e.kind != FolderEntry::Kind::Other || !IsPageName(e.name)) continue;
    const Text backup = BackupFileName(FromUtf8FileName(e.name));
    if (!backup.empty()) backups.insert(ToUtf8FileName(backup));
  }
  return backups;
}

void Walk(FileTree& tree, const fs::path& folder, const std::string& shown,
          std::vector<Found>& found) {
  std::vector<FolderEntry> entries;
  if (const std::error_code error = tree.List(folder, entries)) {
    found.push_back(Found{PageSource{shown, 0, FolderError(error)}, folder});
    return;
  }
  const std::set<std::string> backups = BackupNames(entries);
  for (const FolderEntry& e : entries) {
    if (e.kind == FolderEntry::Kind::Folder) {
      if (!e.name.starts_with('.')) Walk(tree, folder / e.name, Join(shown, e.name), found);
    } else if (e.kind == FolderEntry::Kind::Other && IsPageName(e.name) &&
               backups.count(e.name) == 0) {
      found.push_back(
          Found{PageSource{Join(shown, e.name), e.size, std::nullopt}, folder / e.name});
    }
  }
}

}  // namespace

bool FileTree::IsFolder(const fs::path& path) {
  std::error_code ec;
  return fs::is_directory(path, ec);
}

std::error_code FileTree::List(const fs::path& folder, std::vector<FolderEntry>& entries) {
  std::error_code ec;
  fs::directory_iterator it(folder, ec);
  if (ec) return ec;
  for (; it != fs::directory_iterator(); it.increment(ec)) {
    const fs::directory_entry& item = *it;
    FolderEntry entry;
    entry.name = item.path().filename().string();
    std::error_code kindError;
    if (item.is_symlink(kindError)) {
      entry.kind = fs::is_directory(item.path(), kindError) ? FolderEntry::Kind::LinkToFolder
                                                            : FolderEntry::Kind::Other;
    } else if (item.is_directory(kindError)) {
      entry.kind = FolderEntry::Kind::Folder;
    }
    if (entry.kind == FolderEntry::Kind::Other) {
      const uintmax_t size = item.file_size(kindError);
      entry.size = kindError ? 0 : static_cast<uint64_t>(size);
    }
    entries.push_back(std::move(entry));
  }
  return ec;
}

uint64_t FileTree::SizeOf(const fs::path& path) {
  std::error_code ec;
  const uintmax_t size = fs::file_size(path, ec);
  return ec ? 0 : static_cast<uint64_t>(size);
}

std::string FileTree::IdentityOf(const fs::path& path) {
  std::error_code ec;
  fs::path identity = fs::weakly_canonical(path, ec);
  if (ec) identity = fs::absolute(path, ec).lexically_normal();
  return identity.string();
}

FileTree& RealFileTree() {
  static FileTree tree;
  return tree;
}

bool IsPageName(std::string_view name) {
  const size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return false;
  std::string extension(name.substr(dot));
  std::transform(extension.begin(), extension.end(), extension.begin(), [](char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  });
  return std::find(std::begin(kPageExtensions), std::end(kPageExtensions), extension) !=
         std::end(kPageExtensions);
}

std::vector<PageSource> CollectPages(std::span<const std::string> files, FileTree& tree) {
  std::vector<PageSource> pages;
  std::unordered_set<std::string> taken;
  auto take = [&](PageSource source, const fs::path& path) {
    if (taken.insert(tree.IdentityOf(path)).second) pages.push_back(std::move(source));
  };
  for (const std::string& file : files) {
    const fs::path path(file);
    if (!tree.IsFolder(path)) {
      take(PageSource{file, tree.SizeOf(path), std::nullopt}, path);
      continue;
    }
    std::vector<Found> found;
    Walk(tree, path, file, found);
    if (found.empty()) {
      take(
          PageSource{file, 0, Message{Text(kNoPagesCaption), Text(kNoPagesText), MsgIcon::Warning}},
          path);
      continue;
    }
    std::stable_sort(found.begin(), found.end(), [](const Found& a, const Found& b) {
      return fs::path(a.source.path) < fs::path(b.source.path);
    });
    for (Found& f : found)
      take(std::move(f.source), f.path);
  }
  return pages;
}

}  // namespace tw::cli
