// Queries of prescribed motions (displacements and velocities): which components are given
// and whether they are zero.
#include "caerep/model/bc_reps.h"

namespace NCAERep::NBC {

bool CDisplacement::hasComponent(const CCAERepBase& object, const std::wstring& component) {
    if (object.hasProperty(component)) return true;
    for (const CCAERepBase* c : object.getChildren())
        if (c->objectName() == component) return true;
    return false;
}

bool CDisplacement::getDirection(const CCAERepBase& object) {
    if (!hasMagnitude(object)) return false;
    std::vector<CCAERepBase*> vectors;
    object.getDescendantsByType(L"Vector3D", vectors);
    for (const CCAERepBase* v : vectors)
        if (v->objectName() == L"Direction") return true;
    return false;
}

bool CDisplacement::getComponentValue(const std::wstring& component) const {
    // A tabular component: zero when every value of its table is zero.
    if (const CCAERepBase* table = getChild(component, L"Table")) {
        std::vector<double> values;
        table->getProperty(L"Values").getValue(values);
        for (double v : values)
            if (v != 0.0) return false;
        return true;
    }
    double value = 0.0;
    const CPropertyValue p = getProperty(component);
    p.getValue(value, motionQuantityType(), p.getUnits());
    return value == 0.0;
}

}  // namespace NCAERep::NBC
