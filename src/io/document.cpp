// Reading a document once.
#include "io/document.hpp"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "core/hugepages.hpp"
#include "text/codepage.hpp"

namespace tw {

namespace {

// The least a read asks for, so that reading line by line does not mean a call per line.
constexpr size_t kReadChunk = 256 * 1024;
// Held bytes beyond this get room for the rest of the document at once.
constexpr size_t kHoldAllFrom = 4 * 1024 * 1024;
// Released bytes are dropped from memory once they make up this much of what is held.
constexpr size_t kReleaseThreshold = 1024 * 1024;

constexpr uint64_t kHashSeed = 0x9E3779B97F4A7C15ULL;
constexpr uint64_t kHashMultiplier = 0xFF51AFD7ED558CCDULL;
constexpr int kHashShift = 33;

uint64_t Mix(uint64_t h) {
  h ^= h >> kHashShift;
  h *= kHashMultiplier;
  h ^= h >> kHashShift;
  return h;
}

}  // namespace

DocumentIdentity IdentityOf(const FileStat& status) {
  return DocumentIdentity{status.size, status.modifiedNs, status.device, status.inode};
}

uint64_t HashBytes(std::string_view bytes) {
  uint64_t h = kHashSeed ^ bytes.size();
  size_t i = 0;
  for (; i + sizeof(uint64_t) <= bytes.size(); i += sizeof(uint64_t)) {
    uint64_t word = 0;
    std::memcpy(&word, bytes.data() + i, sizeof(word));
    h = Mix(h ^ word) + kHashSeed;
  }
  uint64_t tail = 0;
  std::memcpy(&tail, bytes.data() + i, bytes.size() - i);
  return Mix(h ^ tail);
}

DocumentReader::DocumentReader(FileOps& ops) : ops_(ops) {}

Status DocumentReader::Open(const std::filesystem::path& file) {
  Close();
  path_ = file;
  Result<UniqueFile> opened = ops_.OpenForReading(file);
  if (!opened) return opened.error();
  Result<FileStat> status = ops_.Stat(opened->get());
  if (!status) return status.error();
  // Pipes and devices are no documents; reading some of them would wait for a writer.
  if (!status->regular) return FileError::FromErrno(EINVAL);
  file_ = std::move(*opened);
  status_ = *status;
  identity_ = IdentityOf(status_);
  return Status{};
}

Status DocumentReader::Fill(uint64_t end) {
  if (error_.failed()) return error_;
  if (file_ == nullptr) return FileError::FromErrno(EBADF);
  end = std::min(end, size());
  while (read_ < end) {
    const uint64_t wanted = std::max<uint64_t>(end - read_, kReadChunk);
    const size_t chunk = static_cast<size_t>(std::min(wanted, size() - read_));
    const size_t before = heldSize_;
    if (before + chunk > heldRoom_) {
      // Growing by doubling, but never beyond what the rest of the document needs, and all
      // of that at once when much is held already.
      const auto rest = static_cast<size_t>(size() - start_);
      size_t room = std::min(std::max(before + chunk, 2 * heldRoom_), rest);
      if (before + chunk >= kHoldAllFrom) room = rest + kRoomToSpare;
      Grow(std::max(room, before + chunk));
    }
    Result<size_t> n = ops_.Read(file_.get(), held_.get() + before, chunk);
    if (!n) {
      error_ = n.error();
      return error_;
    }
    heldSize_ = before + *n;
    read_ += *n;
    if (*n == 0) {
      // The file has become shorter since it was opened.
      error_ = FileError::FromErrno(EIO);
      error_.description = u"The file became shorter while it was being read.";
      return error_;
    }
  }
  return Status{};
}

std::string_view DocumentReader::HeldFrom(uint64_t from) const {
  if (from < start_ || from > read_) return std::string_view();
  return Held().substr(static_cast<size_t>(from - start_));
}

void DocumentReader::Grow(size_t room) {
  if (room <= heldRoom_) return;
  auto bigger = std::make_unique_for_overwrite<char[]>(room);
  // A room for a whole long document is written once from end to end: on huge pages that
  // costs a few hundred page faults instead of thousands.
  if (room >= kHoldAllFrom) AdviseHugePages(bigger.get(), room);
  if (heldSize_ > 0) std::memcpy(bigger.get(), held_.get(), heldSize_);
  held_ = std::move(bigger);
  heldRoom_ = room;
}

void DocumentReader::Release(uint64_t upTo) {
  upTo = std::min(upTo, read_);
  if (keepAll_ || upTo <= start_) return;
  const auto released = static_cast<size_t>(upTo - start_);
  if (released == heldSize_) {
    // Nothing is left to move; a room made for a long line is given back.
    heldSize_ = 0;
    start_ = upTo;
    if (heldRoom_ >= kHoldAllFrom) {
      held_.reset();
      heldRoom_ = 0;
    }
    return;
  }
  // Dropping the front moves what stays: done rarely, so that it costs little per byte.
  if (released < kReleaseThreshold && released * 2 < heldSize_) return;
  std::memmove(held_.get(), held_.get() + released, heldSize_ - released);
  heldSize_ -= released;
  start_ = upTo;
}

void DocumentReader::ReserveToEnd() {
  Grow(static_cast<size_t>(size() - start_) + kRoomToSpare);
}

std::unique_ptr<char[]> DocumentReader::TakeHeldRoom(size_t& room) {
  room = 0;
  if (keepAll_ || heldRoom_ < kHoldAllFrom) return nullptr;
  room = heldRoom_;
  heldRoom_ = 0;
  heldSize_ = 0;
  start_ = read_;
  return std::move(held_);
}

void DocumentReader::Close() {
  file_.reset();
}

}  // namespace tw
