#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "support/large_table_allocator.hpp"
#include "dmts/name_index.hpp"

namespace {

bool on_huge_page_boundary(const void* p) {
    return reinterpret_cast<std::uintptr_t>(p) % large_table_allocator_t<char>::huge_page == 0;
}

}  // namespace

TEST(LargeTableAllocator, LargeTablesStartOnHugePagesAndKeepTheirValuesThroughGrowth) {
    // Grown one value at a time, the table passes from ordinary to large
    // allocations and back to an ordinary one when shrunk to fit.
    std::vector<uint32_t, large_table_allocator_t<uint32_t>> table;
    for (uint32_t i = 0; i < 1500000; ++i) table.push_back(i * 7u);
    EXPECT_TRUE(on_huge_page_boundary(table.data()));
    for (uint32_t i = 0; i < table.size(); i += 9973) ASSERT_EQ(table[i], i * 7u);
    EXPECT_EQ(table.back(), 1499999u * 7u);
    table.resize(1000);
    table.shrink_to_fit();
    for (uint32_t i = 0; i < table.size(); ++i) ASSERT_EQ(table[i], i * 7u);

    // Just below the threshold a table is allocated as usual; at it, on a boundary.
    const std::size_t threshold = large_table_allocator_t<char>::huge_page / 16 * 15;
    std::vector<char, large_table_allocator_t<char>> at(threshold, 'x');
    EXPECT_TRUE(on_huge_page_boundary(at.data()));
    EXPECT_EQ(at[threshold - 1], 'x');
    std::vector<char, large_table_allocator_t<char>> below(threshold - 1, 'y');
    EXPECT_EQ(below[threshold - 2], 'y');
}

TEST(LargeTableAllocator, NameIndexFindsEveryNameAfterGrowingPastTheThreshold) {
    // 300000 names need a slot table of several huge pages.
    std::vector<std::string> names;
    for (int i = 0; i < 300000; ++i) names.push_back((i % 3 == 0 ? "AVeryLongProcessName" : "P") + std::to_string(i));
    auto name_of = [&names](int index) { return std::string_view(names[static_cast<std::size_t>(index)]); };
    name_index_t<decltype(name_of)> index(name_of);
    for (int i = 0; i < static_cast<int>(names.size()); ++i) ASSERT_EQ(index.find_or_enter(names[i], i), i);
    EXPECT_EQ(index.size(), names.size());
    for (int i = 0; i < static_cast<int>(names.size()); i += 7) ASSERT_EQ(index.find(names[i]), i);
    EXPECT_EQ(index.find("P300000"), -1);
}
