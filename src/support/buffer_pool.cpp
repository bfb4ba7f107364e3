#include "support/buffer_pool.hpp"

void* buffer_pool_t::carve(std::size_t bytes) {
    if (static_cast<std::size_t>(slab_end_ - slab_next_) < bytes) {
        // The rest of the old slab, less than one block, stays unused.
        slabs_.emplace_back(new char[slab_bytes]);
        slab_next_ = slabs_.back().get();
        slab_end_ = slab_next_ + slab_bytes;
        poison(slab_next_, slab_bytes);
    }
    void* block = slab_next_;
    slab_next_ += bytes;
    unpoison(block, bytes);
    return block;
}
