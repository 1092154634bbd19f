// A document as one command reads it: one open file, read once from its first byte to its
// last. The bytes read stay in memory until they are released, so that the checks can look
// at the first bytes and the scan can then start from the first byte without reading
// anything twice; what the document was when it was read (its identity and, once it has
// been read whole, a hash of its bytes) tells whether it has changed since.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "core/error.hpp"
#include "io/fileops.hpp"
#include "io/osfile.hpp"

namespace tw {

// What tells one state of a file from another.
struct DocumentIdentity {
  uint64_t size = 0;
  int64_t modifiedNs = 0;
  uint64_t device = 0;
  uint64_t inode = 0;

  bool operator==(const DocumentIdentity&) const = default;
};

DocumentIdentity IdentityOf(const FileStat& status);

// A 64-bit hash of bytes, for telling whether a document has changed.
uint64_t HashBytes(std::string_view bytes);

class DocumentReader {
 public:
  explicit DocumentReader(FileOps& ops = RealFileOps());

  // Opens the file and takes its identity from the open file. A folder, a pipe or a device
  // is refused (EISDIR, or EINVAL for what is not a regular file).
  Status Open(const std::filesystem::path& file);
  bool IsOpen() const { return file_ != nullptr; }
  const std::filesystem::path& path() const { return path_; }
  const DocumentIdentity& identity() const { return identity_; }
  const FileStat& status() const { return status_; }
  uint64_t size() const { return identity_.size; }

  // Reads on until the bytes before `end` are held (fewer only at the end of the document).
  // A failed read, or a document that ends before its size, is kept: this and every later
  // call return it.
  Status Fill(uint64_t end);
  Status FillAll() { return Fill(size()); }
  const FileError& error() const { return error_; }
  // All of the document has been read.
  bool complete() const { return read_ == size(); }

  // The bytes held: from heldStart() to heldEnd() (a view valid until the next Fill or
  // Release).
  uint64_t heldStart() const { return start_; }
  uint64_t heldEnd() const { return read_; }
  std::string_view Held() const { return std::string_view(held_.get(), heldSize_); }
  // The held bytes from `from` on (nothing when `from` is not held).
  std::string_view HeldFrom(uint64_t from) const;
  // The bytes before `upTo` will not be looked at again; they are let go unless the reader
  // keeps everything it reads (a command that rewrites the document needs all of it).
  void Release(uint64_t upTo);
  void KeepAll(bool keep) { keepAll_ = keep; }
  // Makes room at once for every byte from the first one held to the end of the document.
  void ReserveToEnd();
  // Bytes to spare after the rest of a long document in its room, for whoever takes the room
  // over (a line prepared where it lies ends with a space and some spare bytes).
  static constexpr size_t kRoomToSpare = 64;
  // Every byte held is let go, as Release(heldEnd()) does, and the room that held them is
  // handed over, with its size in `room`: only a room made for the rest of a long document
  // (which then has a few bytes to spare after it), and only when the reader does not keep
  // everything; otherwise nothing is handed over and nothing changes.
  std::unique_ptr<char[]> TakeHeldRoom(size_t& room);

  // The hash of the whole document, once it has been read whole and none of it released.
  uint64_t Hash() const { return HashBytes(Held()); }

  void Close();

 private:
  // Room for `room` bytes, the bytes held kept.
  void Grow(size_t room);

  FileOps& ops_;
  std::filesystem::path path_;
  UniqueFile file_;
  FileStat status_;
  DocumentIdentity identity_;
  // Reads go straight into this room, which is not filled with anything before.
  std::unique_ptr<char[]> held_;
  size_t heldSize_ = 0;
  size_t heldRoom_ = 0;
  uint64_t start_ = 0;  // the offset of held_'s first byte in the document
  uint64_t read_ = 0;   // bytes read so far
  bool keepAll_ = false;
  FileError error_;
};

}  // namespace tw
