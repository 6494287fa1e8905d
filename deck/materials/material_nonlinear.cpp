// Whether any body's material calls for the non-linear module, and whether one body's material is plastic.
#include "deck/materials/body_material_lookup.h"
#include "deck/materials/material_checks.h"
#include "deck/materials/material_section_writer.h"
#include "foundation/analysis_kind.h"

namespace {

// The host material of a body whose non-linear effects are on; null otherwise.
ComPtr<IHostMaterial> NonlinearBodyMaterial(const MaterialBodyTable& bodies, int bodyId) {
    NCAERep::CCAERepBase* attributes = bodies.GetBodyAttributes(bodyId);
    if (!attributes || !AreNonLinearEffectsOn(attributes)) return nullptr;
    return FindBodyHostMaterial(attributes).material;
}

}  // namespace

bool CMaterialSectionWriter::HasNonlinearMaterial() const {
    const int mask = PowerOfTwoBit(bodies_.GetAnalysisKind());
    const int checkCode = mask * 10000 + (bodies_.IsTransient() ? 1 : 0);
    for (int i = 0; i < bodies_.GetBodyCount(); ++i) {
        ComPtr<IHostMaterial> material = NonlinearBodyMaterial(bodies_, bodies_.GetBodyId(i));
        if (!material) continue;
        VARIANT_BOOL needsModule = VARIANT_FALSE;
        // The flag stays false when a question fails, so such a material asks for no module.
        (void)MaterialNeedsNonlinearModule(material.Get(), checkCode, needsModule);
        if (needsModule) return true;
        // A Chaboche law needs the module in a structural analysis, plastic or not; an
        // eigenvalue analysis never runs it.
        if ((mask & PowerOfTwoBit(kAnalysisStructural)) && HasChabocheKinematicHardening(material.Get()))
            return true;
    }
    return false;
}

bool CMaterialSectionWriter::IsBodyMaterialPlastic(int bodyId) const {
    const int kind = bodies_.GetAnalysisKind();
    if (kind != kAnalysisStructural && kind != 3) return false;
    bool known = false;
    for (int i = 0; i < bodies_.GetBodyCount() && !known; ++i) known = bodies_.GetBodyId(i) == bodyId;
    if (!known) return false;
    ComPtr<IHostMaterial> material = NonlinearBodyMaterial(bodies_, bodyId);
    return material && HasPlasticHardening(material.Get());
}
