// An allocator for large tables that are read at random, such as hash
// tables. Once a table outgrows what the processor's address translation
// caches cover in ordinary pages, nearly every lookup also waits for a page
// walk; so a table of nearly `huge_page` bytes or more (at least 15/16, so
// that rounding up wastes little) is placed on 2 MiB boundaries in whole
// 2 MiB units and, where the system offers it, marked for transparent huge
// pages. Smaller tables are allocated as usual.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

template <typename T>
struct large_table_allocator_t {
    using value_type = T;
    static constexpr std::size_t huge_page = std::size_t{2} << 20;
    static bool is_large(std::size_t bytes) { return bytes >= huge_page / 16 * 15; }

    large_table_allocator_t() = default;
    template <typename U>
    large_table_allocator_t(const large_table_allocator_t<U>&) {}

    T* allocate(std::size_t n) {
        if (n > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_array_new_length();
        const std::size_t bytes = n * sizeof(T);
        if (!is_large(bytes)) return static_cast<T*>(::operator new(bytes));
        const std::size_t rounded = (bytes + huge_page - 1) / huge_page * huge_page;
        void* memory = std::aligned_alloc(huge_page, rounded);
        if (!memory) throw std::bad_alloc();
#if defined(__linux__) && defined(MADV_HUGEPAGE)
        madvise(memory, rounded, MADV_HUGEPAGE);  // a hint: refused, the table works the same
#endif
        return static_cast<T*>(memory);
    }
    void deallocate(T* memory, std::size_t n) {
        if (!is_large(n * sizeof(T))) ::operator delete(memory);
        else std::free(memory);
    }

    friend bool operator==(const large_table_allocator_t&, const large_table_allocator_t&) { return true; }
    friend bool operator!=(const large_table_allocator_t&, const large_table_allocator_t&) { return false; }
};
