// The processes of a model, in blocks of fixed size. Adding a process never
// moves the others: no reallocation copies a large model, and pointers to
// processes stay valid while the parser adds more.
#pragma once

#include <string>
#include <vector>

#include "dmts/process.hpp"

class process_table_t {
public:
    std::size_t size() const { return size_; }
    // Indexing yields a pointer, so `processes[i]->name` reads as it did when
    // the table held owning pointers.
    process_t* operator[](std::size_t i) { return &blocks_[i / block_size][i % block_size]; }
    const process_t* operator[](std::size_t i) const { return &blocks_[i / block_size][i % block_size]; }
    process_t* back() { return &blocks_.back().back(); }
    const process_t* back() const { return &blocks_.back().back(); }

    process_t& emplace_back(std::string name) {
        if (size_ % block_size == 0) {
            blocks_.emplace_back();
            blocks_.back().reserve(block_size);
        }
        process_t& added = blocks_.back().emplace_back(std::move(name));
        ++size_;
        return added;
    }

private:
    static constexpr std::size_t block_size = 1024;
    std::vector<std::vector<process_t>> blocks_;  // each holds at most block_size, never reallocated
    std::size_t size_ = 0;
};
