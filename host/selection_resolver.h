// The host's selection resolver: turns the reference text that a model object carries as its
// scoping into the host's selection of geometric entities and the mesh nodes they hold. The
// feeder creates it by class id when it loads the model and hands it the model's root; the
// boundary-condition pre-pass hands the root over again before it resolves anything.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "foundation/jx_list.h"
#include "platform/com.h"

namespace NCAERep {
class CCAERepBase;
}

inline constexpr CLSID CLSID_SelectionResolver = MakeGuid("9d0d31a0-dd86-40db-8098-d18a1b35eefc");
inline constexpr IID IID_ISelectionResolver = MakeGuid("20488116-a0c0-4850-8af9-0a05821ed287");

// One geometric entity of a selection.
struct SelectedEntity {
    // The entity's two identifying words: entity id and kind flags.
    JXReference reference;
    // The entity's id as the host numbers it; 0 when the host reports none.
    std::uint32_t id = 0;
    // The body the entity lies on; 0 when the host reports none.
    std::int32_t bodyId = 0;
};

struct ResolvedSelection {
    // In the host's order; an entity may appear more than once.
    std::vector<SelectedEntity> entities;
    // Every mesh node of the selection, ascending and without repeats.
    std::vector<int> nodes;
};

struct ISelectionResolver : IUnknown {
    static constexpr const IID& iid() { return IID_ISelectionResolver; }

    // Hands over the model the reference texts belong to. S_OK; E_POINTER for null (the
    // root handed over before stays).
    [[nodiscard]] virtual HRESULT SetRoot(NCAERep::CCAERepBase* root) = 0;
    // S_OK with the selection the text names; S_FALSE with an empty selection when the text
    // names none; E_UNEXPECTED before any root was handed over.
    [[nodiscard]] virtual HRESULT Resolve(const std::wstring& reference, ResolvedSelection& out) = 0;

  protected:
    ~ISelectionResolver() = default;
};
