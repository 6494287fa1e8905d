#include "caerep/model/material_reps.h"

namespace NCAERep {

void CMaterialLibraryRep::initialize() {
    setTypeName(kTypeName);
    registerProperties();
}

void CMaterialLibraryRep::registerProperties() {
    setRegistered();
    registerProperty(L"FileName", L"", m_FileName);
}

void CMaterialRep::initialize() {
    setTypeName(kTypeName);
    registerProperties();
}

void CMaterialRep::registerProperties() {
    setRegistered();
    registerProperty(L"MaterialName", L"", m_MaterialName);
}

}  // namespace NCAERep
