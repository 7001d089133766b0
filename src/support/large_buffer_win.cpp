#include "support/large_buffer.h"

namespace fendrix {

// Large pages on Windows need a privilege a user does not have; the buffer
// keeps the usual pages.
void ExpectFullUse(void*, std::size_t) {}

}  // namespace fendrix
