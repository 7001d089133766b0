#include "support/large_buffer.h"

#include <sys/mman.h>

#include <cstdint>

namespace fendrix {

void ExpectFullUse(void* data, std::size_t size) {
#ifdef MADV_HUGEPAGE
  // Large pages are 2 MiB; below a few of them the faults do not matter.
  constexpr std::size_t kWorthIt = std::size_t{4} << 20, kPage = 4096;
  if (size < kWorthIt) return;
  const auto start = reinterpret_cast<std::uintptr_t>(data);
  const std::uintptr_t first = (start + kPage - 1) & ~std::uintptr_t{kPage - 1};
  const std::uintptr_t end = (start + size) & ~std::uintptr_t{kPage - 1};
  // Only advice: when the system says no, the buffer simply keeps small pages.
  madvise(reinterpret_cast<void*>(first), end - first, MADV_HUGEPAGE);
#else
  (void)data;
  (void)size;
#endif
}

}  // namespace fendrix
