// A set of the integers 0 .. size-1 with a capacity fixed at construction,
// stored one bit per integer in 32-bit words. It is the one set type of the
// game: a deep-copying value type whose set algebra runs word by word, so the
// solver's fixpoints handle 32 states per instruction.
#pragma once

#include <cstdint>
#include <memory>

enum bitset_type_t { BS_EMPTY = 0, BS_FULL = 1, BS_UNDEF = 2 };

class bitset_t {
public:
    bitset_t() : bitset_t(0, BS_EMPTY) {}
    bitset_t(uint32_t capacity, bitset_type_t fill);
    bitset_t(const bitset_t& other);
    bitset_t(bitset_t&& other) noexcept;
    bitset_t& operator=(const bitset_t& other);
    bitset_t& operator=(bitset_t&& other) noexcept;
    ~bitset_t() = default;

    uint32_t capacity() const { return size; }
    uint32_t word_count() const { return words_for(size); }

    bool test(uint32_t i) const { return (words[i >> 5] >> (i & 31)) & 1u; }
    void set(uint32_t i) { words[i >> 5] |= 1u << (i & 31); }
    void unset(uint32_t i) { words[i >> 5] &= ~(1u << (i & 31)); }

    bitset_t complement() const;
    void intersect_with(const bitset_t& other);
    void unite_with(const bitset_t& other);
    void subtract(const bitset_t& other);
    bool is_empty() const;
    bool equals(const bitset_t& other) const;

    // The least member >= from, or size when there is none. Visits members in
    // the same ascending order as a loop over test(), skipping empty words.
    uint32_t next(uint32_t from) const;
    uint32_t count() const;

    const uint32_t* data() const { return words.get(); }
    uint32_t* data() { return words.get(); }

    static uint32_t words_for(uint32_t capacity) { return capacity == 0 ? 0 : (capacity - 1) / 32 + 1; }

private:
    void mask_last_word();

    uint32_t size;
    std::unique_ptr<uint32_t[]> words;
};

// Whether every member of a is a member of b (equal capacities).
bool is_subset(const bitset_t& a, const bitset_t& b);
