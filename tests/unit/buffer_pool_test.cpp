#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "support/buffer_pool.hpp"

namespace {

struct live_block_t {
    unsigned char* data;
    std::size_t bytes;
    unsigned char fill;
};

// True when every byte of the block still holds its fill.
bool intact(const live_block_t& block) {
    for (std::size_t i = 0; i < block.bytes; ++i)
        if (block.data[i] != block.fill) return false;
    return true;
}

}  // namespace

TEST(BufferPool, FreedBlocksComeBackOnlyForRequestsOfTheirSizeClass) {
    buffer_pool_t pool;
    void* block = pool.allocate(24);
    pool.release(block, 24);
    // 17 to 24 bytes share the class of 24.
    void* again = pool.allocate(17);
    EXPECT_EQ(again, block);
    pool.release(again, 17);
    void* larger = pool.allocate(32);
    void* smaller = pool.allocate(16);
    EXPECT_NE(larger, block);
    EXPECT_NE(smaller, block);
    EXPECT_EQ(pool.allocate(20), block);

    // An empty request still gets a block of its own, which the next one
    // does not overlap.
    auto* empty = static_cast<unsigned char*>(pool.allocate(0));
    auto* next = static_cast<unsigned char*>(pool.allocate(8));
    EXPECT_TRUE(next >= empty + buffer_pool_t::granule || next + buffer_pool_t::granule <= empty);
    pool.release(empty, 0);
    EXPECT_EQ(pool.allocate(1), empty);
}

TEST(BufferPool, LiveBlocksNeverOverlapThroughChurnAcrossSlabs) {
    // Blocks of random sizes, pooled and not, are filled with their own byte,
    // released at random and replaced; no write may reach another live block,
    // and memory freed is reused rather than cut anew.
    buffer_pool_t pool;
    std::mt19937 random(20261209);
    std::uniform_int_distribution<std::size_t> size_of(0, buffer_pool_t::largest_pooled + 200);
    std::vector<live_block_t> live;
    unsigned char fill = 0;
    auto add = [&] {
        const std::size_t bytes = size_of(random);
        auto* data = static_cast<unsigned char*>(pool.allocate(bytes));
        ASSERT_EQ(reinterpret_cast<std::uintptr_t>(data) % buffer_pool_t::granule, 0u);
        std::memset(data, ++fill, bytes);
        live.push_back({data, bytes, fill});
    };
    for (int i = 0; i < 6000; ++i) add();
    ASSERT_GT(pool.slab_count(), 2u);
    for (int round = 0; round < 4; ++round) {
        for (std::size_t i = 0; i < live.size(); ++i) {
            if (random() % 2 != 0) continue;
            ASSERT_TRUE(intact(live[i])) << "round " << round << ", block " << i;
            pool.release(live[i].data, live[i].bytes);
            live[i] = live.back();
            live.pop_back();
        }
        while (live.size() < 6000) add();
        for (const live_block_t& block : live) ASSERT_TRUE(intact(block)) << "round " << round;
    }
    // The same number of live blocks of the same size distribution needs
    // about the same slabs: 5 here, where without reuse it would be 11.
    EXPECT_LE(pool.slab_count(), 7u);
    for (const live_block_t& block : live) pool.release(block.data, block.bytes);
}

TEST(BufferPool, SanitizerSeesOnlyLiveBlocksAsUsable) {
#ifndef VELKIN_POOL_POISONING
    GTEST_SKIP() << "built without AddressSanitizer";
#else
    buffer_pool_t pool;
    auto* live = static_cast<char*>(pool.allocate(24));
    auto* released = static_cast<char*>(pool.allocate(40));
    pool.release(released, 40);
    auto* reused = static_cast<char*>(pool.allocate(16));
    pool.release(reused, 16);
    reused = static_cast<char*>(pool.allocate(16));
    // Each row: an address and whether a read there must be reported.
    const struct {
        const char* what;
        const char* address;
        bool poisoned;
    } rows[] = {
        {"first byte of a live block", live, false},
        {"last byte of a live block", live + 23, false},
        {"a released block", released, true},
        {"the end of a released block", released + 39, true},
        {"a block handed out again", reused, false},
        {"the uncut rest of the slab", reused + 4096, true},
    };
    for (const auto& row : rows)
        EXPECT_EQ(__asan_address_is_poisoned(row.address) != 0, row.poisoned) << row.what;
    pool.release(live, 24);
    pool.release(reused, 16);
#endif
}
