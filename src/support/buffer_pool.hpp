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
//
// Under AddressSanitizer the pool marks the parts of its slabs that no live
// block covers, the uncut rest and the free blocks, as poisoned, so a read or
// write past a block's end into them, or through a pointer to a block
// already released, is reported as it would be for the general allocator.
#pragma once

#include <cstddef>
#include <memory>
#include <new>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#define VELKIN_POOL_POISONING 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VELKIN_POOL_POISONING 1
#endif
#endif
#ifdef VELKIN_POOL_POISONING
#include <sanitizer/asan_interface.h>
#endif

class buffer_pool_t {
public:
    static constexpr std::size_t granule = 8;
    static constexpr std::size_t largest_pooled = 512;
    static constexpr std::size_t slab_bytes = std::size_t{1} << 18;

    buffer_pool_t() = default;
    // The slabs go back to the general allocator as they were handed out.
    ~buffer_pool_t() {
        for (const std::unique_ptr<char[]>& slab : slabs_) unpoison(slab.get(), slab_bytes);
    }
    buffer_pool_t(const buffer_pool_t&) = delete;
    buffer_pool_t& operator=(const buffer_pool_t&) = delete;

    // A block of at least `bytes` bytes, aligned to 8 bytes.
    void* allocate(std::size_t bytes) {
        if (bytes > largest_pooled) return ::operator new(bytes);
        const std::size_t size_class = class_of(bytes);
        if (free_block_t* block = free_[size_class]) {
            unpoison(block, size_class * granule);
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
        poison(block, size_class * granule);
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

    // Marks bytes as off limits, or as usable again, for AddressSanitizer;
    // nothing in other builds.
    static void poison(const void* first, std::size_t bytes) {
#ifdef VELKIN_POOL_POISONING
        ASAN_POISON_MEMORY_REGION(first, bytes);
#else
        (void)first, (void)bytes;
#endif
    }
    static void unpoison(const void* first, std::size_t bytes) {
#ifdef VELKIN_POOL_POISONING
        ASAN_UNPOISON_MEMORY_REGION(first, bytes);
#else
        (void)first, (void)bytes;
#endif
    }

    free_block_t* free_[largest_pooled / granule + 1] = {};
    char* slab_next_ = nullptr;
    char* slab_end_ = nullptr;
    std::vector<std::unique_ptr<char[]>> slabs_;
};

// Where compact vectors keep their values: the shared pool, in every build.
inline void* allocate_set_storage(std::size_t bytes) { return buffer_pool_t::shared().allocate(bytes); }

inline void release_set_storage(void* block, std::size_t bytes) { buffer_pool_t::shared().release(block, bytes); }
