// A growable array of trivially copyable values in 16 bytes (pointer, 32-bit
// size, 32-bit room) instead of std::vector's 24. A model keeps several per
// process, so the difference is a sizeable part of a large model's memory.
// The values live in blocks of the set storage (buffer_pool.hpp).
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <type_traits>

#include "support/buffer_pool.hpp"

template <typename T>
class compact_vector_t {
    static_assert(std::is_trivially_copyable_v<T>, "values are moved with plain copies");
    static_assert(alignof(T) <= buffer_pool_t::granule, "pool blocks are aligned to 8 bytes");

public:
    compact_vector_t() = default;
    ~compact_vector_t() { free_storage(data_, capacity_); }
    compact_vector_t(const compact_vector_t& other) { *this = other; }
    compact_vector_t(compact_vector_t&& other) noexcept { swap(other); }
    compact_vector_t& operator=(const compact_vector_t& other) {
        if (this != &other) {
            size_ = 0;  // nothing of the old contents needs to survive
            reallocate(other.size_);
            std::copy(other.begin(), other.end(), data_);
            size_ = other.size_;
        }
        return *this;
    }
    compact_vector_t& operator=(compact_vector_t&& other) noexcept {
        compact_vector_t().swap(*this);
        swap(other);
        return *this;
    }

    void swap(compact_vector_t& other) noexcept {
        std::swap(data_, other.data_);
        std::swap(size_, other.size_);
        std::swap(capacity_, other.capacity_);
    }

    T* begin() { return data_; }
    T* end() { return data_ + size_; }
    const T* begin() const { return data_; }
    const T* end() const { return data_ + size_; }
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    T& operator[](std::size_t i) { return data_[i]; }
    const T& operator[](std::size_t i) const { return data_[i]; }

    void push_back(const T& value) {
        const T copy = value;  // value may live in the storage a growth frees
        if (size_ == capacity_) reallocate(grown_room(1));
        data_[size_++] = copy;
    }

    // Inserts [first, last) before position `at`; the range must not point
    // into this vector.
    void insert(std::size_t at, const T* first, const T* last) {
        const std::size_t count = static_cast<std::size_t>(last - first);
        if (size_ + count > capacity_) reallocate(grown_room(count));
        std::copy_backward(begin() + at, end(), end() + count);
        std::copy(first, last, begin() + at);
        size_ = checked_size(size_ + count);
    }

    // Keeps the first `count` values.
    void truncate(std::size_t count) { size_ = static_cast<uint32_t>(std::min<std::size_t>(count, size_)); }

    // Empties the vector and frees its storage.
    void clear() { compact_vector_t().swap(*this); }

    // Frees unused room once it is more than about a quarter of the whole:
    // small slack is not worth a copy, large slack (after duplicates were
    // removed, say) is.
    void release_surplus() {
        if (capacity_ - size_ > size_ / 4 + 1) reallocate(size_);
    }

private:
    static uint32_t checked_size(std::size_t n) {
        if (n > UINT32_MAX) throw std::length_error("compact_vector_t: too many values");
        return static_cast<uint32_t>(n);
    }
    // Room for `extra` more values, at least doubling so appends stay amortised O(1).
    std::size_t grown_room(std::size_t extra) const {
        return std::max<std::size_t>({std::size_t{2}, std::size_t{capacity_} * 2, std::size_t{size_} + extra});
    }
    void reallocate(std::size_t room) {
        const uint32_t checked = checked_size(room);
        T* fresh = checked == 0 ? nullptr : static_cast<T*>(allocate_set_storage(checked * sizeof(T)));
        if (data_) std::copy(begin(), end(), fresh);
        free_storage(data_, capacity_);
        data_ = fresh;
        capacity_ = checked;
    }
    static void free_storage(T* data, uint32_t capacity) {
        if (data) release_set_storage(data, capacity * sizeof(T));
    }

    T* data_ = nullptr;
    uint32_t size_ = 0;
    uint32_t capacity_ = 0;
};

// Sorts values and drops duplicates. Values already strictly ascending, the
// common case when building a model, are only scanned.
template <typename T>
void sort_unique(compact_vector_t<T>& values) {
    auto out_of_order = [](const T& a, const T& b) { return !(a < b); };
    if (std::adjacent_find(values.begin(), values.end(), out_of_order) == values.end()) return;
    std::sort(values.begin(), values.end());
    values.truncate(static_cast<std::size_t>(std::unique(values.begin(), values.end()) - values.begin()));
}
