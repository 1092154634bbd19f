// Advice to lay large arrays, read or written all over, on huge pages where the system
// allows: fewer page faults when they are first written, fewer address translations after.
#pragma once

#include <cstddef>

namespace tw {

// The size of a huge page; smaller arrays are left as they are.
inline constexpr size_t kHugePageBytes = size_t{2} << 20;

// Advises the whole huge pages that lie within the `bytes` at `p` (Linux; nothing elsewhere).
// Only advice: nothing changes when the system does not take it.
void AdviseHugePages(void* p, size_t bytes);

}  // namespace tw
