// A hint to start loading the cache line at an address. Loops over a large
// model that know a few steps ahead which scattered memory they will read
// use it to overlap those loads instead of waiting for each in turn: once the
// model outgrows the caches, that waiting is most of such a loop's time.
// Each engine that uses it keeps its hints in one helper named load_ahead, so
// that the algorithm reads without them. The compiler counts a prefetch as
// having no effect, and a helper that does nothing but prefetch would be
// judged free of effects and its calls dropped as a whole; so every such
// helper is [[gnu::always_inline]], inlined into its loop before that
// judgement. Check the disassembly (objdump -d | grep prefetch) after moving
// hints.
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
