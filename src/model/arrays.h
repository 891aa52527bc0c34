#pragma once
// Arrays of the structure model.
//
// Item numbers start at 1. Every array keeps index 0 in each dimension
// allocated and unused, so `Table<T>(n, m)` holds rows 0..n and columns 0..m,
// and a flat array of n items is a std::vector<T> of n + 1 elements.
// Rows are stored contiguously (row-major).

#include <algorithm>
#include <cassert>
#include <cstddef>
#include <vector>

namespace vanto {

template <class T>
class Table {
  public:
    Table() = default;
    // Rows 0..maxRow, columns 0..maxCol, all zero.
    Table(int maxRow, int maxCol)
        : rows_(maxRow + 1), cols_(maxCol + 1), data_(std::size_t(rows_) * cols_, T{}) {
        assert(maxRow >= 0 && maxCol >= 0);
    }

    // Largest valid row and column index.
    int maxRow() const { return rows_ - 1; }
    int maxCol() const { return cols_ - 1; }
    bool empty() const { return data_.empty(); }

    T& operator()(int r, int c) {
        assert(r >= 0 && r < rows_ && c >= 0 && c < cols_);
        return data_[std::size_t(r) * cols_ + c];
    }
    const T& operator()(int r, int c) const {
        assert(r >= 0 && r < rows_ && c >= 0 && c < cols_);
        return data_[std::size_t(r) * cols_ + c];
    }
    T* row(int r) { return data_.data() + std::size_t(r) * cols_; }
    const T* row(int r) const { return data_.data() + std::size_t(r) * cols_; }

    // Changes the row count, keeping the rows that stay and zeroing new ones.
    void resizeRows(int maxRow) {
        rows_ = maxRow + 1;
        data_.resize(std::size_t(rows_) * cols_, T{});
    }

    // Copies the rows and columns both tables have into *this; the rest stays.
    template <class U>
    void copyOverlap(const Table<U>& from) {
        const int r = std::min(rows_, from.maxRow() + 1);
        const int c = std::min(cols_, from.maxCol() + 1);
        for (int i = 0; i < r; ++i)
            for (int j = 0; j < c; ++j)
                (*this)(i, j) = T(from(i, j));
    }

    template <class U>
    Table<U> as() const {
        Table<U> out(maxRow(), maxCol());
        out.copyOverlap(*this);
        return out;
    }

    bool operator==(const Table&) const = default;

  private:
    int rows_ = 0;
    int cols_ = 0;
    std::vector<T> data_;
};

}  // namespace vanto
