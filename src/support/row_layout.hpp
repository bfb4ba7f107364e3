// Grouping items into rows by a stable counting sort, the layout of
// compressed sparse rows (edges grouped by source, predecessor lists grouped
// by target): count the row of every item, close(), then place every item,
// in the same order, at place(its row). Row r spans begin()[r] ..
// begin()[r + 1]; rows come out in ascending order and keep the order of
// their items. Cost: linear in items plus rows.
#pragma once

#include <cstddef>
#include <utility>
#include <vector>

template <class Index>
class row_layout_t {
public:
    // Starts over with `rows` empty rows, reusing the memory held.
    void reset(std::size_t rows) { begin_.assign(rows + 1, 0); }
    void count(std::size_t row) { ++begin_[row + 1]; }
    // Ends the counting and readies placing from the start of every row.
    void close() {
        for (std::size_t r = 0; r + 1 < begin_.size(); ++r) begin_[r + 1] += begin_[r];
        restart();
    }
    // Places the items again from the start of every row, with the same counts.
    void restart() { next_.assign(begin_.begin(), begin_.end() - 1); }
    // The position for the next item of row r.
    Index place(std::size_t row) { return next_[row]++; }

    const std::vector<Index>& begin() const { return begin_; }
    // Hands over the row starts once every item is placed.
    std::vector<Index> take_begin() {
        std::vector<Index>().swap(next_);
        return std::move(begin_);
    }

private:
    std::vector<Index> begin_, next_;
};
