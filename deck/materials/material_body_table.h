// What the material writers need to know of the deck's bodies and of the analysis. The
// body-attribute wrapper answers it; tests answer it with small tables of their own.
#pragma once

namespace NCAERep {
class CCAERepBase;
}

class MaterialBodyTable {
  public:
    virtual ~MaterialBodyTable() = default;

    virtual int GetBodyCount() const = 0;
    // Body id and deck material number of the body record at an index (0 for a bad index).
    virtual int GetBodyId(int index) const = 0;
    virtual int GetBodyMaterialNumber(int index) const = 0;
    // The body's "BodyAttributes" object of the model; null when there is none.
    virtual NCAERep::CCAERepBase* GetBodyAttributes(int bodyId) const = 0;

    // HostAnalysisKind.
    virtual int GetAnalysisKind() const = 0;
    // The solver unit-system code of the deck.
    virtual int GetUnitSystem() const = 0;
    virtual bool IsTransient() const = 0;
};
