// Result-side records of the return package: contact-pair results, the L-matrix and the
// lookup tables that carry ids from one deck writer to another.
#pragma once

#include <cstdint>
#include <map>
#include <utility>
#include <vector>

class ContactPairResultData {
  public:
    static constexpr int kBlockDoubles = 17;
    struct Block {
        int kind = 4;
        double values[kBlockDoubles] = {};
    };

    ContactPairResultData() = default;
    ContactPairResultData(const ContactPairResultData&) = default;
    ContactPairResultData& operator=(const ContactPairResultData&) = default;
    virtual ~ContactPairResultData() = default;

    // Two records are the same pair when their pair ids match, whatever they hold.
    bool operator==(const ContactPairResultData& other) const { return ints[0] == other.ints[0]; }

    int GetPairId() const { return ints[0]; }

    int ints[3] = {0, 0, 0};  // the first identifies the pair
    Block blocks[2];
};

// A square matrix with a vector and an id per row. Copies are deep.
class LmatrixResultData {
  public:
    LmatrixResultData() = default;
    // An n-by-n zero matrix, a zero vector and ids 0.
    explicit LmatrixResultData(int n);

    int GetDimension() const { return dimension_; }
    double& At(int row, int column) { return matrix_[Index(row, column)]; }
    double At(int row, int column) const { return matrix_[Index(row, column)]; }
    std::vector<double>& Vector() { return vector_; }
    const std::vector<double>& Vector() const { return vector_; }
    std::vector<std::int32_t>& Ids() { return ids_; }
    const std::vector<std::int32_t>& Ids() const { return ids_; }

  private:
    std::size_t Index(int row, int column) const;

    int dimension_ = 0;
    std::vector<double> matrix_;
    std::vector<double> vector_;
    std::vector<std::int32_t> ids_;
};

struct contactLookupData {
    int a = 0;
    int b = 0;
    int c = 0;
    std::vector<std::uint64_t> entries;  // 8-byte entries, carried as they are
};

struct resultLookupData {
    std::map<int, std::pair<int, int>> lookup;
    std::vector<contactLookupData> contacts;
};
