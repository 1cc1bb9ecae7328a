// Counts heap allocations made by the code linked into a test or benchmark: C++ operator new
// everywhere, and malloc/calloc/realloc called from the project's own objects (the link wraps them).
#pragma once

#include <cstdint>

namespace alloc_counter {

std::uint64_t allocations();

}  // namespace alloc_counter
