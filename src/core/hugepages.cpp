#include "core/hugepages.hpp"

#include <cstdint>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace tw {

void AdviseHugePages(void* p, size_t bytes) {
#if defined(__linux__)
  constexpr uintptr_t kMask = kHugePageBytes - 1;
  const auto first = reinterpret_cast<uintptr_t>(p);
  const uintptr_t from = (first + kMask) & ~kMask;
  const uintptr_t to = (first + bytes) & ~kMask;
  if (to > from) (void)madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
#else
  (void)p;
  (void)bytes;
#endif
}

}  // namespace tw
