// Storage for the many small arrays of a model's sets. A large model has
// about three such arrays per process, and the general-purpose allocator
// spends much of a run on them: a header per block, and at the end of the run
// a free per block that reads the block's header and merges it with its
// neighbours, all over memory. The pool hands out blocks in multiples of 8
// bytes, cut from large slabs, and keeps a list of free blocks for each size:
// freeing a block writes one pointer into it and reads nothing.
//
// Blocks above `largest_pooled` bytes go to the general allocator. Slabs are
// kept until the pool is destroyed; freed blocks are reused for requests of
// the same size class. Not thread-safe: the model is built and used by one
// thread.
#pragma once

#include <cstddef>
#include <memory>
#include <new>
#include <vector>

class buffer_pool_t {
public:
    static constexpr std::size_t granule = 8;
    static constexpr std::size_t largest_pooled = 512;
    static constexpr std::size_t slab_bytes = std::size_t{1} << 18;

    buffer_pool_t() = default;
    buffer_pool_t(const buffer_pool_t&) = delete;
    buffer_pool_t& operator=(const buffer_pool_t&) = delete;

    // A block of at least `bytes` bytes, aligned to 8 bytes.
    void* allocate(std::size_t bytes) {
        if (bytes > largest_pooled) return ::operator new(bytes);
        const std::size_t size_class = class_of(bytes);
        if (free_block_t* block = free_[size_class]) {
            free_[size_class] = block->next;
            return block;
        }
        return carve(size_class * granule);
    }

    // Gives back a block that allocate(bytes) returned, with the same bytes.
    void release(void* block, std::size_t bytes) {
        if (bytes > largest_pooled) {
            ::operator delete(block);
            return;
        }
        const std::size_t size_class = class_of(bytes);
        free_[size_class] = new (block) free_block_t{free_[size_class]};
    }

    // The pool that the model's sets draw from. Inline, since every set
    // allocation and release goes through it. Never destroyed, so that sets
    // in objects of static storage duration can still give their blocks back
    // when they are destroyed at exit.
    static buffer_pool_t& shared() {
        static buffer_pool_t* const pool = new buffer_pool_t;
        return *pool;
    }

    // The number of slabs cut so far.
    std::size_t slab_count() const { return slabs_.size(); }

private:
    struct free_block_t {
        free_block_t* next;
    };
    // Blocks of class c hold c granules; a request for no bytes gets one.
    static std::size_t class_of(std::size_t bytes) { return bytes == 0 ? 1 : (bytes + granule - 1) / granule; }
    void* carve(std::size_t bytes);

    free_block_t* free_[largest_pooled / granule + 1] = {};
    char* slab_next_ = nullptr;
    char* slab_end_ = nullptr;
    std::vector<std::unique_ptr<char[]>> slabs_;
};

// Where compact vectors keep their values: the shared pool, except under
// AddressSanitizer, which checks every bound and every use after free only
// of blocks that it allocated itself. The choice follows the compiler flags,
// so the whole program must be built with the same sanitizer setting.
#if defined(__SANITIZE_ADDRESS__)
#define VELKIN_SET_STORAGE_FROM_POOL 0
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VELKIN_SET_STORAGE_FROM_POOL 0
#endif
#endif
#ifndef VELKIN_SET_STORAGE_FROM_POOL
#define VELKIN_SET_STORAGE_FROM_POOL 1
#endif

inline void* allocate_set_storage(std::size_t bytes) {
#if VELKIN_SET_STORAGE_FROM_POOL
    return buffer_pool_t::shared().allocate(bytes);
#else
    return ::operator new(bytes);
#endif
}

inline void release_set_storage(void* block, std::size_t bytes) {
#if VELKIN_SET_STORAGE_FROM_POOL
    buffer_pool_t::shared().release(block, bytes);
#else
    (void)bytes;
    ::operator delete(block);
#endif
}
