#include "dmts/buffer_pool.hpp"

void* buffer_pool_t::carve(std::size_t bytes) {
    if (static_cast<std::size_t>(slab_end_ - slab_next_) < bytes) {
        // The rest of the old slab, less than one block, stays unused.
        slabs_.emplace_back(new char[slab_bytes]);
        slab_next_ = slabs_.back().get();
        slab_end_ = slab_next_ + slab_bytes;
    }
    void* block = slab_next_;
    slab_next_ += bytes;
    return block;
}

buffer_pool_t& buffer_pool_t::shared() {
    // Never destroyed, so that sets in objects of static storage duration can
    // still give their blocks back when they are destroyed at exit.
    static buffer_pool_t* const pool = new buffer_pool_t;
    return *pool;
}
