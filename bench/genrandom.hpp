// The random numbers of the benchmark document generators (splitmix64): their own, so that a
// seed gives the same document byte for byte on every platform and standard library.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tw::bench {

class Random {
 public:
  explicit Random(uint64_t seed) : state_(seed) {}
  uint64_t Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // 0 .. n - 1.
  size_t Below(size_t n) { return static_cast<size_t>(Next() % n); }
  // lo .. hi, both included.
  size_t Between(size_t lo, size_t hi) { return lo + Below(hi - lo + 1); }
  bool Percent(int p) { return static_cast<int>(Below(100)) < p; }
  // True with a probability of p / 1000.
  bool PerMille(int p) { return static_cast<int>(Below(1000)) < p; }
  // [0, 1).
  double Unit() { return static_cast<double>(Next() >> 11) / static_cast<double>(1ull << 53); }

 private:
  uint64_t state_;
};

}  // namespace tw::bench
