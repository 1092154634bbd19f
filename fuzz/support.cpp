#include "support.hpp"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <system_error>

#ifndef TAGWRIGHT_FUZZ_DATA_DIR
#error "TAGWRIGHT_FUZZ_DATA_DIR names the program's data folder"
#endif

namespace tw::fuzz {

namespace {

std::filesystem::path& Scratch() {
  static std::filesystem::path folder;
  return folder;
}

void RemoveScratch() {
  std::error_code ec;
  if (!Scratch().empty()) std::filesystem::remove_all(Scratch(), ec);
}

char FoldAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

void Fail(const char* condition, const char* file, int line) {
  std::fprintf(stderr, "\n==== property failed: %s\n     at %s:%d\n", condition, file, line);
  std::fflush(stderr);
  std::abort();
}

const std::filesystem::path& ScratchFolder() {
  if (Scratch().empty()) {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "tagwright-fuzz.XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
      std::perror("tagwright fuzz: cannot make a scratch folder");
      std::abort();
    }
    Scratch() = pattern;
    std::atexit(RemoveScratch);
  }
  return Scratch();
}

std::filesystem::path WriteScratchFile(std::string_view name, std::string_view bytes) {
  std::filesystem::path file = ScratchFolder() / std::filesystem::path(std::string(name));
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) {
    std::fprintf(stderr, "tagwright fuzz: cannot write %s\n", file.c_str());
    std::abort();
  }
  return file;
}

std::filesystem::path DataFolder() {
  return std::filesystem::path(TAGWRIGHT_FUZZ_DATA_DIR);
}

uint8_t HeadReader::Byte() {
  if (pos_ >= bytes_.size()) return 0;
  return static_cast<uint8_t>(bytes_[pos_++]);
}

std::string_view HeadReader::Counted() {
  const size_t length = Byte();
  const std::string_view piece = bytes_.substr(pos_, length);
  pos_ += piece.size();
  return piece;
}

bool ContainsNoCase(std::string_view text, std::string_view lowerSought) {
  if (lowerSought.empty()) return true;
  for (size_t at = 0; at + lowerSought.size() <= text.size(); ++at) {
    size_t k = 0;
    while (k < lowerSought.size() && FoldAscii(text[at + k]) == lowerSought[k])
      ++k;
    if (k == lowerSought.size()) return true;
  }
  return false;
}

}  // namespace tw::fuzz
