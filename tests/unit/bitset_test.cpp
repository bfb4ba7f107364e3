#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "support/bitset.hpp"

namespace {

const uint32_t capacities[] = {0, 1, 31, 32, 33, 63, 64, 65, 100};

// Bits at positions >= capacity in the last word must be zero: equality and
// emptiness compare whole words.
bool tail_is_clear(const bitset_t& s) {
    uint32_t n = s.capacity();
    if (n % 32 == 0) return true;
    return (s.data()[s.word_count() - 1] >> (n % 32)) == 0;
}

std::vector<uint32_t> members_by_test(const bitset_t& s) {
    std::vector<uint32_t> out;
    for (uint32_t i = 0; i < s.capacity(); ++i)
        if (s.test(i)) out.push_back(i);
    return out;
}

std::vector<uint32_t> members_by_next(const bitset_t& s) {
    std::vector<uint32_t> out;
    for (uint32_t i = s.next(0); i < s.capacity(); i = s.next(i + 1)) out.push_back(i);
    return out;
}

}  // namespace

TEST(Bitset, WordCountAndFullFillAreMaskedForEveryCapacity) {
    for (uint32_t n : capacities) {
        SCOPED_TRACE(n);
        bitset_t full(n, BS_FULL), empty(n, BS_EMPTY);
        EXPECT_EQ(full.word_count(), (n + 31) / 32);
        EXPECT_EQ(full.count(), n);
        EXPECT_EQ(empty.count(), 0u);
        EXPECT_TRUE(tail_is_clear(full));
        EXPECT_TRUE(empty.is_empty());
        EXPECT_EQ(full.is_empty(), n == 0);
        if (n > 0) {
            EXPECT_TRUE(full.test(n - 1));
            EXPECT_FALSE(empty.test(n - 1));
        }
    }
    bitset_t thirty_three(33, BS_FULL);
    EXPECT_EQ(thirty_three.data()[0], 0xffffffffu);
    EXPECT_EQ(thirty_three.data()[1], 1u);
    bitset_t thirty_two(32, BS_FULL);
    EXPECT_EQ(thirty_two.word_count(), 1u);
    EXPECT_EQ(thirty_two.data()[0], 0xffffffffu);
}

TEST(Bitset, ComplementMasksTheLastWordAndRoundTrips) {
    for (uint32_t n : capacities) {
        SCOPED_TRACE(n);
        bitset_t empty(n, BS_EMPTY), full(n, BS_FULL);
        bitset_t inverted = empty.complement();
        EXPECT_TRUE(tail_is_clear(inverted));
        EXPECT_TRUE(inverted.equals(full));
        EXPECT_TRUE(full.complement().is_empty());

        bitset_t some(n, BS_EMPTY);
        for (uint32_t i = 0; i < n; i += 3) some.set(i);
        bitset_t other = some.complement();
        EXPECT_TRUE(tail_is_clear(other));
        for (uint32_t i = 0; i < n; ++i) EXPECT_NE(some.test(i), other.test(i)) << i;
        EXPECT_TRUE(other.complement().equals(some));
        EXPECT_EQ(some.count() + other.count(), n);
    }
}

TEST(Bitset, SetAlgebraWordByWord) {
    for (uint32_t n : {33u, 64u, 65u, 130u}) {
        SCOPED_TRACE(n);
        bitset_t evens(n, BS_EMPTY), threes(n, BS_EMPTY);
        for (uint32_t i = 0; i < n; ++i) {
            if (i % 2 == 0) evens.set(i);
            if (i % 3 == 0) threes.set(i);
        }
        bitset_t both = evens, either = evens, only_even = evens;
        both.intersect_with(threes);
        either.unite_with(threes);
        only_even.subtract(threes);
        for (uint32_t i = 0; i < n; ++i) {
            EXPECT_EQ(both.test(i), i % 6 == 0) << i;
            EXPECT_EQ(either.test(i), i % 2 == 0 || i % 3 == 0) << i;
            EXPECT_EQ(only_even.test(i), i % 2 == 0 && i % 3 != 0) << i;
        }

        bitset_t same = evens;
        same.intersect_with(same);
        EXPECT_TRUE(same.equals(evens));
        same.unite_with(same);
        EXPECT_TRUE(same.equals(evens));
        same.subtract(same);
        EXPECT_TRUE(same.is_empty());

        // A difference only in the last word must be seen by equals.
        bitset_t last = evens;
        last.unset(n - 2 + (n % 2));
        EXPECT_FALSE(last.equals(evens));
        last.set(n - 2 + (n % 2));
        EXPECT_TRUE(last.equals(evens));
    }
}

TEST(Bitset, CapacityZeroHasNoMembersAndOperationsDoNothing) {
    bitset_t a(0, BS_EMPTY), b(0, BS_FULL), c;
    EXPECT_EQ(a.word_count(), 0u);
    EXPECT_TRUE(a.is_empty());
    EXPECT_TRUE(b.is_empty());
    EXPECT_TRUE(a.equals(b));
    EXPECT_TRUE(c.equals(a));
    a.unite_with(b);
    a.intersect_with(b);
    a.subtract(b);
    EXPECT_TRUE(a.complement().is_empty());
    EXPECT_EQ(a.next(0), 0u);
    bitset_t copy = a;
    copy = b;
    EXPECT_TRUE(copy.is_empty());
}

TEST(Bitset, CopiesAreDeepAndSelfAssignmentKeepsTheSet) {
    bitset_t original(65, BS_EMPTY);
    original.set(0);
    original.set(64);

    std::vector<bitset_t> held;
    held.push_back(original);
    for (int k = 0; k < 20; ++k) held.push_back(bitset_t(65, BS_EMPTY));  // forces reallocation
    original.set(5);
    EXPECT_FALSE(held[0].test(5));
    held[0].unset(64);
    EXPECT_TRUE(original.test(64));

    bitset_t copied(original);
    copied.unset(0);
    EXPECT_TRUE(original.test(0));

    bitset_t assigned(3, BS_FULL);
    assigned = original;
    EXPECT_EQ(assigned.capacity(), 65u);
    EXPECT_TRUE(assigned.equals(original));
    assigned.unset(5);
    EXPECT_TRUE(original.test(5));

    bitset_t& alias = original;
    original = alias;
    EXPECT_EQ(members_by_test(original), (std::vector<uint32_t>{0, 5, 64}));

    std::vector<bitset_t> copy_of_vector = held;
    copy_of_vector[1].set(7);
    EXPECT_FALSE(held[1].test(7));

    bitset_t moved(std::move(copied));
    EXPECT_EQ(members_by_test(moved), (std::vector<uint32_t>{5, 64}));
}

TEST(Bitset, NextEnumeratesMembersInAscendingOrder) {
    for (uint32_t n : capacities) {
        SCOPED_TRACE(n);
        bitset_t s(n, BS_EMPTY);
        for (uint32_t i = 0; i < n; ++i)
            if (i % 7 == 3 || i == n - 1 || i == 31 || i == 32) s.set(i);
        EXPECT_EQ(members_by_next(s), members_by_test(s));
        EXPECT_EQ(s.count(), members_by_test(s).size());
        EXPECT_EQ(s.next(n), n);
        bitset_t full(n, BS_FULL);
        EXPECT_EQ(members_by_next(full).size(), n);
        EXPECT_EQ(bitset_t(n, BS_EMPTY).next(0), n);
    }
    bitset_t sparse(200, BS_EMPTY);
    sparse.set(199);
    EXPECT_EQ(sparse.next(0), 199u);
    EXPECT_EQ(sparse.next(199), 199u);
    EXPECT_EQ(sparse.next(200), 200u);
}
