// The faces of one side of a contact pair or constraint equation: one face per scoping
// reference, each with the id the host gave beside it.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "foundation/jx_list.h"

struct FaceSetBounds {
    bool empty = true;
    double min[3] = {0.0, 0.0, 0.0};
    double max[3] = {0.0, 0.0, 0.0};
};

struct FaceSetNode {
    int node = 0;
    double xyz[3] = {0.0, 0.0, 0.0};
};

struct FaceSetFace {
    FaceSetBounds bounds;
    JXReference reference;
    std::int32_t id = 0;
    std::vector<std::unique_ptr<FaceSetNode>> nodes;
};

class FaceSet {
  public:
    FaceSet() { Init(); }

    void Init();
    // Replaces the faces: one per reference, in list order, with the id at the same position
    // (0 where the id list is shorter).
    void SetFaces(const JXReferenceList& references, const std::vector<std::uint32_t>& ids);
    void Clear() { faces_.clear(); }

    const std::vector<std::unique_ptr<FaceSetFace>>& GetFaces() const { return faces_; }
    int GetCount() const { return static_cast<int>(faces_.size()); }

    FaceSetBounds bounds;
    int kind = 0;
    bool flagA = false;
    bool flagB = false;
    bool flagC = true;
    std::optional<std::int32_t> value;

  private:
    std::vector<std::unique_ptr<FaceSetFace>> faces_;
};
