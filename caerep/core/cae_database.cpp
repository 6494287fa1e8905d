// Objects made by type factory or as generic records, fresh ids, id changes, and the journal's rollback.
#include "caerep/core/cae_database.h"

#include <algorithm>
#include <limits>
#include <unordered_set>

#include "caerep/core/cae_exception.h"
#include "caerep/core/cae_rep.h"
#include "caerep/core/generic_rep.h"
#include "caerep/core/host_ports.h"

namespace NCAERep {

CCAEDatabase::CCAEDatabase(EForm form) : m_form(form) {
    if (form == EForm::Full) RegisterRepresentationFactories(*this);
    auto root = std::make_unique<CCAERep>(CIdentity(L"CAERep", L"CAERep", NextId()));
    root->setDatabase(this);
    m_root = static_cast<CCAERep*>(store(std::move(root)));
    m_root->initialize();
}

CCAEDatabase::~CCAEDatabase() = default;

CCAERepBase* CCAEDatabase::getObjectById(int id) const {
    auto it = m_objects.find(id);
    return it == m_objects.end() ? nullptr : it->second.get();
}

int CCAEDatabase::NextId() {
    constexpr long long kLargestId = std::numeric_limits<int>::max();
    while (m_nextId <= kLargestId && m_objects.count(static_cast<int>(m_nextId))) ++m_nextId;
    if (m_nextId > kLargestId)
        throw CCAEException(L"No object id is left above " + std::to_wstring(kLargestId),
                            L"CCAEDatabase::NextId");
    return static_cast<int>(m_nextId++);
}

CCAERepBase* CCAEDatabase::store(std::unique_ptr<CCAERepBase> object) {
    int id = object->getId();
    reserveIdsUpTo(id);
    CCAERepBase* raw = object.get();
    m_objects.emplace(id, std::move(object));
    if (m_journaling) m_journal.push_back(id);
    return raw;
}

CCAERepBase* CCAEDatabase::createNew(const CIdentity& identity) {
    CIdentity id = identity;
    if (id.getId() < 0) id.setId(NextId());
    if (m_objects.count(id.getId()))
        throw CCAEEntryAlreadyExists(
            L"Object id " + std::to_wstring(id.getId()) + L" already exists (type " + id.getType() + L")",
            L"CCAEDatabase::createNew");
    auto it = m_factories.find(id.getType());
    std::unique_ptr<CCAERepBase> object =
        it != m_factories.end() ? it->second->create(id) : std::make_unique<CGenericRep>(id);
    object->setDatabase(this);
    CCAERepBase* raw = store(std::move(object));
    raw->initialize();
    return raw;
}

void CCAEDatabase::registerFactory(const std::wstring& type, std::unique_ptr<ICAEObjectFactory> factory) {
    m_factories[type] = std::move(factory);
}

std::vector<std::wstring> CCAEDatabase::getRegisteredTypes() const {
    std::vector<std::wstring> types;
    for (const auto& [name, f] : m_factories) types.push_back(name);
    std::sort(types.begin(), types.end());
    return types;
}

bool CCAEDatabase::changeId(CCAERepBase* object, int newId) {
    if (!object) return false;
    if (object->getId() == newId) return true;
    if (m_objects.count(newId)) return false;
    auto it = m_objects.find(object->getId());
    if (it == m_objects.end() || it->second.get() != object) return false;
    std::unique_ptr<CCAERepBase> owned = std::move(it->second);
    m_objects.erase(it);
    if (m_journaling) std::replace(m_journal.begin(), m_journal.end(), object->getId(), newId);
    owned->setIdentityId(newId);
    reserveIdsUpTo(newId);
    m_objects.emplace(newId, std::move(owned));
    return true;
}

void CCAEDatabase::beginJournal() {
    m_journal.clear();
    m_journaling = true;
}

void CCAEDatabase::endJournal() {
    m_journaling = false;
    m_journal.clear();
}

void CCAEDatabase::rollbackJournal() {
    m_journaling = false;
    std::unordered_set<CCAERepBase*> created;
    for (int id : m_journal)
        if (CCAERepBase* o = getObjectById(id)) created.insert(o);
    // Parents that stay lose their new children in one pass each.
    std::unordered_set<CCAERepBase*> survivingParents;
    for (CCAERepBase* o : created)
        if (o->getParent() && !created.count(o->getParent())) survivingParents.insert(o->getParent());
    for (CCAERepBase* p : survivingParents)
        p->removeChildrenIf([&](CCAERepBase* c) { return created.count(c) != 0; });
    for (CCAERepBase* o : created) m_objects.erase(o->getId());
    m_journal.clear();
}

IHostModelProvider* CCAEDatabase::getHostProvider() const {
    return m_hostProvider ? m_hostProvider.get() : GetDefaultHostModelProvider();
}

}  // namespace NCAERep
