#pragma once

// An N-dimensional array whose every dimension runs from 0 to an upper bound.
// Access outside the bounds throws, so a bad index is a caught failure instead of
// a stray write; redimensioning either zeroes the array or keeps what still fits.

#include <algorithm>
#include <array>
#include <cstddef>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <vector>

namespace zor {

template <typename T, std::size_t N>
class NdArray {
    static_assert(N >= 1);
    static_assert(!std::is_same_v<T, bool>, "std::vector<bool> hands out no references; use std::uint8_t");

public:
    // Unallocated: no element at all.
    NdArray() { upper_.fill(-1); }

    template <typename... Ints>
    explicit NdArray(Ints... upper) { redim(upper...); }

    // New bounds 0..upper in each dimension, every element value-initialised.
    template <typename... Ints>
    void redim(Ints... upper)
    {
        static_assert(sizeof...(Ints) == N, "one upper bound per dimension");
        const std::array<long long, N> bounds{static_cast<long long>(upper)...};
        std::array<int, N> checked{};
        std::size_t total = 1;
        for (std::size_t d = 0; d < N; ++d) {
            if (bounds[d] < -1 || bounds[d] > kMaxUpper)
                throw std::length_error("NdArray: upper bound out of range: " + std::to_string(bounds[d]));
            checked[d] = static_cast<int>(bounds[d]);
            total *= static_cast<std::size_t>(checked[d] + 1);
        }
        if (total > kMaxElements)
            throw std::length_error("NdArray: too many elements");
        upper_ = checked;
        data_.assign(total, T{});
    }

    // New bounds, keeping every element whose indices lie inside both the old and the new bounds.
    template <typename... Ints>
    void redimPreserve(Ints... upper)
    {
        if constexpr (N == 1) {
            // One dimension keeps its elements in place: growing one slot at a time stays cheap.
            const long long bound = (static_cast<long long>(upper), ...);
            if (bound < -1 || bound > kMaxUpper)
                throw std::length_error("NdArray: upper bound out of range: " + std::to_string(bound));
            data_.resize(static_cast<std::size_t>(bound + 1));
            upper_[0] = static_cast<int>(bound);
            return;
        }
        NdArray next;
        next.redim(upper...);
        if (!data_.empty() && !next.data_.empty()) {
            std::array<int, N> common{};
            for (std::size_t d = 0; d < N; ++d)
                common[d] = std::min(upper_[d], next.upper_[d]);
            std::array<int, N> index{};
            copyRange(next, common, index, 0);
        }
        *this = std::move(next);
    }

    // A one-dimensional array over these elements: bounds 0..size - 1.
    static NdArray FromElements(std::vector<T> elements)
    {
        static_assert(N == 1, "only a one-dimensional array has a plain list of elements");
        if (elements.size() > static_cast<std::size_t>(kMaxUpper) + 1)
            throw std::length_error("NdArray: too many elements");
        NdArray out;
        out.upper_[0] = static_cast<int>(elements.size()) - 1;
        out.data_ = std::move(elements);
        return out;
    }

    // Every element, the last index running fastest.
    const std::vector<T>& Elements() const { return data_; }

    void clear()
    {
        upper_.fill(-1);
        data_.clear();
    }

    int upper(std::size_t dimension = 0) const { return upper_.at(dimension); }
    bool empty() const { return data_.empty(); }

    template <typename... Ints>
    bool contains(Ints... index) const
    {
        static_assert(sizeof...(Ints) == N, "one index per dimension");
        const std::array<long long, N> at{static_cast<long long>(index)...};
        for (std::size_t d = 0; d < N; ++d)
            if (at[d] < 0 || at[d] > upper_[d])
                return false;
        return true;
    }

    template <typename... Ints>
    T& operator()(Ints... index) { return data_[offset(index...)]; }

    template <typename... Ints>
    const T& operator()(Ints... index) const { return data_[offset(index...)]; }

private:
    static constexpr long long kMaxUpper = 0x7FFFFFFE;
    static constexpr std::size_t kMaxElements = std::size_t{1} << 31;

    template <typename... Ints>
    std::size_t offset(Ints... index) const
    {
        static_assert(sizeof...(Ints) == N, "one index per dimension");
        const std::array<long long, N> at{static_cast<long long>(index)...};
        std::size_t flat = 0;
        for (std::size_t d = 0; d < N; ++d) {
            if (at[d] < 0 || at[d] > upper_[d])
                throw std::out_of_range("NdArray: index " + std::to_string(at[d]) + " outside 0.."
                                        + std::to_string(upper_[d]) + " in dimension " + std::to_string(d));
            flat = flat * static_cast<std::size_t>(upper_[d] + 1) + static_cast<std::size_t>(at[d]);
        }
        return flat;
    }

    std::size_t flatOf(const std::array<int, N>& index) const
    {
        std::size_t flat = 0;
        for (std::size_t d = 0; d < N; ++d)
            flat = flat * static_cast<std::size_t>(upper_[d] + 1) + static_cast<std::size_t>(index[d]);
        return flat;
    }

    void copyRange(NdArray& into, const std::array<int, N>& common, std::array<int, N>& index, std::size_t d) const
    {
        for (index[d] = 0; index[d] <= common[d]; ++index[d]) {
            if (d + 1 == N)
                into.data_[into.flatOf(index)] = data_[flatOf(index)];
            else
                copyRange(into, common, index, d + 1);
        }
    }

    std::array<int, N> upper_;
    std::vector<T> data_;
};

} // namespace zor
