// A hint to start loading the cache line at an address. Loops over a large
// model that know a few steps ahead which scattered memory they will read
// use it to overlap those loads instead of waiting for each in turn: once the
// model outgrows the caches, that waiting is most of such a loop's time.
// The compiler counts a prefetch as having no effect, so a helper function
// that does nothing but prefetch can be dropped as a whole: issue the hints in
// the loop that needs them, and check the disassembly when moving them.
#pragma once

inline void prefetch(const void* address) {
#if defined(__GNUC__) || defined(__clang__)
    __builtin_prefetch(address);
#else
    (void)address;
#endif
}
