// The L-matrix record: its zeroed square matrix, vector and ids, and bounds-checked element positions.
#include "runtime/result_data.h"

#include <stdexcept>

LmatrixResultData::LmatrixResultData(int n) {
    if (n < 0) throw std::invalid_argument("negative L-matrix dimension");
    dimension_ = n;
    matrix_.assign(static_cast<std::size_t>(n) * static_cast<std::size_t>(n), 0.0);
    vector_.assign(static_cast<std::size_t>(n), 0.0);
    ids_.assign(static_cast<std::size_t>(n), 0);
}

std::size_t LmatrixResultData::Index(int row, int column) const {
    if (row < 0 || column < 0 || row >= dimension_ || column >= dimension_)
        throw std::out_of_range("L-matrix index outside the matrix");
    return static_cast<std::size_t>(row) * static_cast<std::size_t>(dimension_) +
           static_cast<std::size_t>(column);
}
