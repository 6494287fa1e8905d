// The mesh of a case: built already, or generated once at its first question.
#include "hostsim/case_mesh.h"

#include <utility>

HostSimCaseMesh& HostSimCaseMesh::operator=(std::shared_ptr<HostSimMesh> mesh) {
    mesh_ = std::move(mesh);
    pending_.reset();
    return *this;
}

HostSimCaseMesh HostSimCaseMesh::Deferred(std::vector<MeshBlockRequest> blocks, MeshBlocksOutline outline) {
    HostSimCaseMesh mesh;
    mesh.pending_ = std::make_shared<Pending>();
    mesh.pending_->blocks = std::move(blocks);
    mesh.pending_->outline = std::move(outline);
    return mesh;
}

std::shared_ptr<HostSimMesh> HostSimCaseMesh::Shared() const {
    if (!pending_) return mesh_;
    Pending& pending = *pending_;
    std::call_once(pending.once, [&pending] {
        auto mesh = std::make_shared<HostSimMesh>();
        for (const MeshBlockRequest& block : pending.blocks) GenerateMeshBlock(*mesh, block);
        mesh->IndexElementsOfNodes();
        pending.mesh = std::move(mesh);
        pending.built = true;
    });
    return pending.mesh;
}

const std::vector<HostSimMesh::GeneratedBlock>& HostSimCaseMesh::GeneratedBlocks() const {
    static const std::vector<HostSimMesh::GeneratedBlock> kNone;
    if (pending_) return pending_->outline.blocks;
    return mesh_ ? mesh_->GeneratedBlocks() : kNone;
}

std::optional<HostSimMesh::GeometryKind> HostSimCaseMesh::GeometryKindOf(int id) const {
    if (pending_) {
        const auto it = pending_->outline.entities.find(id);
        if (it == pending_->outline.entities.end()) return std::nullopt;
        return it->second;
    }
    const HostSimMesh::GeometryEntity* entity = mesh_ ? mesh_->FindGeometry(id) : nullptr;
    if (!entity) return std::nullopt;
    return entity->kind;
}
