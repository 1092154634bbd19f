// What the fuzz targets share: a scratch folder of the process for the files that the entry
// points read by name, the program's data folder, a reader of the settings bytes at the head
// of an input, and the check that stops the run with a message when a property fails.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace tw::fuzz {

// Prints what failed and where, then aborts, so that libFuzzer keeps the input.
[[noreturn]] void Fail(const char* condition, const char* file, int line);

#define FUZZ_CHECK(condition)                                           \
  do {                                                                  \
    if (!(condition)) ::tw::fuzz::Fail(#condition, __FILE__, __LINE__); \
  } while (false)

// A folder of this process's own under the system's temporary folder, made on first use and
// removed when the process ends normally.
const std::filesystem::path& ScratchFolder();

// Writes the bytes to `name` in the scratch folder (replacing what an earlier input left
// there) and returns the file's path.
std::filesystem::path WriteScratchFile(std::string_view name, std::string_view bytes);

// The folder of the program's data (common words, program texts).
std::filesystem::path DataFolder();

// Takes bytes from the front of an input; past its end every byte reads as 0.
class HeadReader {
 public:
  HeadReader(const uint8_t* data, size_t size)
      : bytes_(reinterpret_cast<const char*>(data), size) {}

  uint8_t Byte();
  // A number from 0 to count - 1.
  int32_t Below(int32_t count) { return static_cast<int32_t>(Byte() % count); }
  // A length byte, then that many bytes (fewer at the end of the input).
  std::string_view Counted();
  // The bytes not taken yet.
  std::string_view Rest() const { return bytes_.substr(pos_); }

 private:
  std::string_view bytes_;
  size_t pos_ = 0;
};

// Whether `text` holds `sought` when ASCII letters are compared without case.
bool ContainsNoCase(std::string_view text, std::string_view lowerSought);

}  // namespace tw::fuzz
