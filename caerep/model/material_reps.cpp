// The one registered property of the material library (its file) and of a body's material (its name).
#include "caerep/model/material_reps.h"

namespace NCAERep {

void CMaterialLibraryRep::registerProperties() {
    setRegistered();
    registerProperty(L"FileName", L"", m_FileName);
}

void CMaterialRep::registerProperties() {
    setRegistered();
    registerProperty(L"MaterialName", L"", m_MaterialName);
}

}  // namespace NCAERep
