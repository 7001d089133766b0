#pragma once

#include <cstddef>

namespace fendrix {

/// Tells the system that the `size` bytes at `data`, not touched yet, are
/// about to be filled in full. Where it can, it then backs them with large
/// pages, which spares one page fault for every 4 KiB: for the megabytes of
/// a skin file or a picture these faults cost more than the work on them.
/// Small buffers, and systems without such pages, are left as they are.
void ExpectFullUse(void* data, std::size_t size);

}  // namespace fendrix
