// A hint to start loading the cache line at an address. Loops over a large
// model that know a few steps ahead which scattered memory they will read
// use it to overlap those loads instead of waiting for each in turn: once the
// model outgrows the caches, that waiting is most of such a loop's time.
// The compiler counts a prefetch as having no effect, so a helper function
// that does nothing but prefetch can be dropped as a whole: issue the hints in
// the loop that needs them, and check the disassembly when moving them.
#pragma once

#include <cstddef>

inline void prefetch(const void* address) {
#if defined(__GNUC__) || defined(__clang__)
    __builtin_prefetch(address);
#else
    (void)address;
#endif
}

// Starts loading every cache line (64 bytes) of the `size` bytes at `first`:
// a record that straddles a line boundary needs the later line too.
inline void prefetch_span(const void* first, std::size_t size) {
    const char* bytes = static_cast<const char*>(first);
    for (std::size_t offset = 0; offset < size; offset += 64) prefetch(bytes + offset);
    prefetch(bytes + size - 1);
}
