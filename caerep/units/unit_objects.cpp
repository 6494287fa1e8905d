// Names, aliases, factors and defaults of the prefix and derived-unit properties of the unit database.
#include "caerep/units/unit_objects.h"

namespace NCAERep {

void CPrefix::registerProperties() {
    setRegistered();
    registerProperty(L"Name", L"", m_Name);
    registerProperty(L"Alias", L"", m_Alias);
    registerProperty(L"Factor", L"NoDimension", 1.0, L"NoUnit", m_Factor);
}

void CDerivedUnit::registerProperties() {
    setRegistered();
    registerProperty(L"Name", L"", m_Name);
    registerProperty(L"Alias", L"", m_Alias);
    registerProperty(L"Factor", L"NoDimension", 1.0, L"NoUnit", m_Factor);
    registerProperty(L"Offset", L"NoDimension", 0.0, L"NoUnit", m_Offset);
    registerProperty(L"Expression", L"", m_Expression);
    registerProperty(L"AllowedPrefix", false, m_AllowedPrefix);
}

}  // namespace NCAERep
