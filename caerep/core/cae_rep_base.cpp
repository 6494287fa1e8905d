// Property slots indexed past a dozen entries, children by type with ambiguity checks, and external subtrees.
#include "caerep/core/cae_rep_base.h"

#include "caerep/core/cae_database.h"
#include "caerep/core/cae_exception.h"
#include "caerep/core/external_object.h"
#include "caerep/core/interned_text.h"

namespace NCAERep {

namespace {
// Below this many properties a linear scan beats hashing; above it the index keeps look-ups
// constant so that objects with very many properties (tables) load in linear time.
constexpr std::size_t kIndexThreshold = 12;
}  // namespace

CCAERepBase::CCAERepBase(const CIdentity& identity) : m_identity(identity) {}

CCAERepBase::~CCAERepBase() = default;

std::wstring CCAERepBase::describe() const {
    return m_identity.getType() + L" \"" + m_identity.getName() + L"\" (id " + std::to_wstring(getId()) +
           L")";
}

void CCAERepBase::clear() {
    m_properties.clear();
    m_propertyIndex.clear();
    m_externalObjects.clear();
    for (CCAERepBase* c : m_children) c->m_parent = nullptr;
    m_children.clear();
    m_childrenByType.clear();
    m_registered = false;
}

void CCAERepBase::initialize() { registerProperties(); }
void CCAERepBase::registerProperties() { m_registered = true; }
void CCAERepBase::createChildren() {}

// ---- properties ------------------------------------------------------------------------

CCAERepBase::PropertySlot* CCAERepBase::findSlot(const std::wstring* pooledName) {
    return const_cast<PropertySlot*>(std::as_const(*this).findSlot(pooledName));
}

const CCAERepBase::PropertySlot* CCAERepBase::findSlot(const std::wstring* pooledName) const {
    if (!pooledName) return nullptr;
    if (!m_propertyIndex.empty()) {
        auto it = m_propertyIndex.find(pooledName);
        return it == m_propertyIndex.end() ? nullptr : &m_properties[it->second];
    }
    for (const PropertySlot& s : m_properties)
        if (s.name == pooledName) return &s;
    return nullptr;
}

const CCAERepBase::PropertySlot* CCAERepBase::findSlotByText(std::wstring_view name) const {
    // A name that was never pooled belongs to no object.
    return findSlot(FindInternedText(name));
}

bool CCAERepBase::insertSlot(const std::wstring* pooledName, CPropertyValue* value,
                             std::unique_ptr<CPropertyValue> owned, const wchar_t* function,
                             bool registration) {
    if (findSlot(pooledName)) {
        if (registration)
            throw CCAERegisterPropertyException(
                L"property already exists in map: " + *pooledName + L", in object: " + describe(), function);
        throw CCAEEntryAlreadyExists(
            L"Property already exists: " + *pooledName + L", in object: " + describe(), function);
    }
    if (m_properties.empty()) m_properties.reserve(8);
    m_properties.push_back(PropertySlot{pooledName, value, std::move(owned)});
    if (!m_propertyIndex.empty()) {
        m_propertyIndex.emplace(pooledName, m_properties.size() - 1);
    } else if (m_properties.size() > kIndexThreshold) {
        for (std::size_t i = 0; i < m_properties.size(); ++i)
            m_propertyIndex.emplace(m_properties[i].name, i);
    }
    return true;
}

template <class T>
bool CCAERepBase::registerTyped(std::wstring_view name, T value, CPropertyValue& member) {
    insertSlot(InternText(name), &member, nullptr, L"CCAERepBase::registerProperty", true);
    member.setValue(std::move(value));
    return true;
}

bool CCAERepBase::registerProperty(std::wstring_view name, bool value, CPropertyValue& member) {
    return registerTyped(name, value, member);
}
bool CCAERepBase::registerProperty(std::wstring_view name, int value, CPropertyValue& member) {
    return registerTyped(name, value, member);
}
bool CCAERepBase::registerProperty(std::wstring_view name, unsigned int value, CPropertyValue& member) {
    return registerTyped(name, value, member);
}
bool CCAERepBase::registerProperty(std::wstring_view name, const wchar_t* value, CPropertyValue& member) {
    return registerTyped(name, std::wstring(value ? value : L""), member);
}
bool CCAERepBase::registerProperty(std::wstring_view name, const std::wstring& value,
                                   CPropertyValue& member) {
    return registerTyped(name, value, member);
}
bool CCAERepBase::registerProperty(std::wstring_view name, const std::wstring& quantityType, double value,
                                   const std::wstring& units, CPropertyValue& member) {
    insertSlot(InternText(name), &member, nullptr, L"CCAERepBase::registerProperty", true);
    member.setValue(value, quantityType, units);
    return true;
}
bool CCAERepBase::registerProperty(std::wstring_view name, const std::vector<bool>& value,
                                   CPropertyValue& member) {
    return registerTyped(name, value, member);
}
bool CCAERepBase::registerProperty(std::wstring_view name, const std::vector<int>& value,
                                   CPropertyValue& member) {
    return registerTyped(name, value, member);
}
bool CCAERepBase::registerProperty(std::wstring_view name, const std::vector<unsigned int>& value,
                                   CPropertyValue& member) {
    return registerTyped(name, value, member);
}
bool CCAERepBase::registerProperty(std::wstring_view name, const std::vector<std::wstring>& value,
                                   CPropertyValue& member) {
    return registerTyped(name, value, member);
}
bool CCAERepBase::registerProperty(std::wstring_view name, const std::wstring& quantityType,
                                   const std::vector<double>& value, const std::wstring& units,
                                   CPropertyValue& member) {
    insertSlot(InternText(name), &member, nullptr, L"CCAERepBase::registerProperty", true);
    member.setValue(value, quantityType, units);
    return true;
}
bool CCAERepBase::registerProperty(std::wstring_view name, const std::map<std::wstring, std::wstring>& value,
                                   CPropertyValue& member) {
    return registerTyped(name, value, member);
}

const CPropertyValue* CCAERepBase::findProperty(const std::wstring& name) const {
    const PropertySlot* s = findSlotByText(name);
    return s ? s->value : nullptr;
}

CPropertyValue CCAERepBase::getProperty(const std::wstring& name) const {
    if (const CPropertyValue* v = findProperty(name)) return *v;
    throw CCAEPropertyDoesNotExist(L"Property does not exist: " + name + L", in object: " + describe(),
                                   L"CCAERepBase::getProperty");
}

void CCAERepBase::setProperty(const std::wstring& name, const CPropertyValue& value) {
    PropertySlot* s = findSlot(FindInternedText(name));
    if (!s)
        throw CCAEPropertyDoesNotExist(L"Property does not exist: " + name + L", in object: " + describe(),
                                       L"CCAERepBase::setProperty");
    *s->value = value;
}

void CCAERepBase::addProperty(const std::wstring& name, const CPropertyValue& value) {
    auto owned = std::make_unique<CPropertyValue>(value);
    CPropertyValue* raw = owned.get();
    insertSlot(InternText(name), raw, std::move(owned), L"CCAERepBase::addProperty", false);
}

void CCAERepBase::setOrAddProperty(const std::wstring& name, const CPropertyValue& value) {
    if (PropertySlot* s = findSlot(FindInternedText(name)))
        *s->value = value;
    else
        addProperty(name, value);
}

std::vector<std::wstring> CCAERepBase::getPropertyNames() const {
    std::vector<std::wstring> names;
    names.reserve(m_properties.size());
    for (const PropertySlot& s : m_properties) names.push_back(*s.name);
    return names;
}

// ---- children --------------------------------------------------------------------------

void CCAERepBase::addObject(CCAERepBase* child) {
    if (!child) return;
    child->m_parent = this;
    m_children.push_back(child);
    m_childrenByType[child->typeName()].push_back(child);
}

void CCAERepBase::rebuildChildIndex() {
    m_childrenByType.clear();
    for (CCAERepBase* c : m_children) m_childrenByType[c->typeName()].push_back(c);
}

CCAERepBase* CCAERepBase::createChild(const std::wstring& type, const std::wstring& name) {
    if (CCAERepBase* existing = getChild(name, type)) return existing;
    if (!m_database)
        throw CCAEException(L"Object has no database to create a " + type + L" child in: " + describe(),
                            L"CCAERepBase::createChild");
    CCAERepBase* child = m_database->createNew(CIdentity(type, name, m_database->NextId()));
    addObject(child);
    return child;
}

CCAERepBase* CCAERepBase::getChildByType(const std::wstring& type) const {
    auto it = m_childrenByType.find(type);
    if (it == m_childrenByType.end() || it->second.empty()) return nullptr;
    if (it->second.size() > 1) {
        RaiseOrCollect(
            CCAEAmbiguousLookupException(
                L"More than one child found with given type, in object: " + describe() + L", type: " + type,
                L"CCAERepBase::getChildByType"),
            1);
        return nullptr;
    }
    return it->second.front();
}

CCAERepBase* CCAERepBase::getChild(const std::wstring& name, const std::wstring& type) const {
    auto it = m_childrenByType.find(type);
    if (it == m_childrenByType.end()) return nullptr;
    CCAERepBase* found = nullptr;
    for (CCAERepBase* c : it->second) {
        if (c->objectName() != name) continue;
        if (found) {
            RaiseOrCollect(
                CCAEAmbiguousLookupException(L"More than one child found with given type and name, in "
                                             L"object: " +
                                                 describe() + L", type: " + type + L", name: " + name,
                                             L"CCAERepBase::getChild"),
                1);
            return nullptr;
        }
        found = c;
    }
    return found;
}

std::vector<CCAERepBase*> CCAERepBase::getChildrenByType(const std::wstring& type) const {
    auto it = m_childrenByType.find(type);
    return it == m_childrenByType.end() ? std::vector<CCAERepBase*>{} : it->second;
}

void CCAERepBase::getDescendantsByType(const std::wstring& type, std::vector<CCAERepBase*>& out) const {
    auto it = m_childrenByType.find(type);
    if (it != m_childrenByType.end()) out.insert(out.end(), it->second.begin(), it->second.end());
    for (const CCAERepBase* c : m_children) c->getDescendantsByType(type, out);
}

CCAERepBase* CCAERepBase::getDescendantByType(const std::wstring& type) const {
    std::vector<CCAERepBase*> found;
    getDescendantsByType(type, found);
    return found.size() == 1 ? found.front() : nullptr;
}

void CCAERepBase::getIdentitiesByType(const std::wstring& type, std::vector<CIdentity>& out) const {
    std::vector<CCAERepBase*> found;
    getDescendantsByType(type, found);
    out.reserve(out.size() + found.size());
    for (const CCAERepBase* o : found) out.push_back(o->getIdentity());
}

// ---- external objects ------------------------------------------------------------------

CExternalObject* CCAERepBase::getExternalObject(const std::wstring& name) const {
    for (const auto& e : m_externalObjects)
        if (e->getName() == name) return e.get();
    throw CCAEExternalObjectDoesNotExist(
        L"External object does not exist: " + name + L", in object: " + describe(),
        L"CCAERepBase::getExternalObject");
}

bool CCAERepBase::hasExternalObject(const std::wstring& name) const {
    for (const auto& e : m_externalObjects)
        if (e->getName() == name) return true;
    return false;
}

CExternalObject* CCAERepBase::setExternalObject(const std::wstring& name, pugi::xml_node element) {
    auto object = std::make_unique<CExternalObject>(name, element);
    CExternalObject* raw = object.get();
    for (auto& e : m_externalObjects) {
        if (e->getName() == name) {
            e = std::move(object);
            return raw;
        }
    }
    m_externalObjects.push_back(std::move(object));
    return raw;
}

std::vector<std::wstring> CCAERepBase::getExternalObjectNames() const {
    std::vector<std::wstring> names;
    for (const auto& e : m_externalObjects) names.push_back(e->getName());
    return names;
}

}  // namespace NCAERep
