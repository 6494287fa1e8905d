// The mesh of a case as the file-backed host holds it: built when the case is read or, for a
// mesh section of generated blocks alone, when it is first asked for, so that a command that
// asks nothing of the mesh (the settings grid) never generates a large one. Blocks are left for
// later only when they are known to be made without a refusal: a bad mesh section still refuses
// the case when it is read. Until then the blocks' outline answers what reading the rest of the
// case asks (the generated blocks, the kind of a geometric entity).
#pragma once

#include <atomic>
#include <cstddef>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "hostsim/mesh_generator.h"
#include "hostsim/mesh_model.h"

class HostSimCaseMesh {
  public:
    HostSimCaseMesh() = default;
    // A mesh built already; null for none.
    HostSimCaseMesh& operator=(std::shared_ptr<HostSimMesh> mesh);
    // Blocks generated, in order, when the mesh is first asked for.
    static HostSimCaseMesh Deferred(std::vector<MeshBlockRequest> blocks, MeshBlocksOutline outline);

    // The mesh, generated first when it was left for later; null when the case has none.
    std::shared_ptr<HostSimMesh> Shared() const;
    HostSimMesh* get() const { return Shared().get(); }
    HostSimMesh* operator->() const { return get(); }
    HostSimMesh& operator*() const { return *get(); }
    operator std::shared_ptr<HostSimMesh>() const { return Shared(); }
    operator std::shared_ptr<const HostSimMesh>() const { return Shared(); }

    // Answered without generating anything.
    explicit operator bool() const { return mesh_ || pending_; }
    friend bool operator==(const HostSimCaseMesh& mesh, std::nullptr_t) { return !mesh; }
    // False while blocks wait for the first question.
    bool IsBuilt() const { return !pending_ || pending_->built; }
    // The blocks as the mesh records them.
    const std::vector<HostSimMesh::GeneratedBlock>& GeneratedBlocks() const;
    // The kind of the mesh's geometric entity of that id, as read; none when the mesh has none.
    std::optional<HostSimMesh::GeometryKind> GeometryKindOf(int id) const;

  private:
    struct Pending {
        std::vector<MeshBlockRequest> blocks;
        MeshBlocksOutline outline;
        std::once_flag once;
        std::atomic<bool> built{false};
        std::shared_ptr<HostSimMesh> mesh;
    };

    std::shared_ptr<HostSimMesh> mesh_;
    std::shared_ptr<Pending> pending_;
};
