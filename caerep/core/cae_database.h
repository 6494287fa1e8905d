// The object store of one representation: objects by id, factories by CAE type name, the id
// counter and the root "CAERep" object. The database owns every object it created.
#pragma once

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "caerep/core/cae_rep_base.h"
#include "caerep/core/identity.h"

namespace NCAERep {

class CCAERep;
class IHostModelProvider;

class ICAEObjectFactory {
  public:
    virtual ~ICAEObjectFactory() = default;
    virtual std::unique_ptr<CCAERepBase> create(const CIdentity& identity) const = 0;
};

template <class T>
class CCAEObjectFactory : public ICAEObjectFactory {
  public:
    std::unique_ptr<CCAERepBase> create(const CIdentity& identity) const override {
        return std::make_unique<T>(identity);
    }
};

class CCAEDatabase {
  public:
    enum class EForm {
        Full,   // every representation class registered
        Light,  // no factories: the owner registers its own (the unit database does)
    };
    explicit CCAEDatabase(EForm form = EForm::Full);
    ~CCAEDatabase();
    CCAEDatabase(const CCAEDatabase&) = delete;
    CCAEDatabase& operator=(const CCAEDatabase&) = delete;

    EForm getForm() const { return m_form; }
    CCAERep* getRoot() const { return m_root; }

    // The object with the identity's id, or null.
    CCAERepBase* getObject(const CIdentity& identity) const { return getObjectById(identity.getId()); }
    CCAERepBase* getObjectById(int id) const;
    std::size_t getObjectCount() const { return m_objects.size(); }
    // Makes room for that many more objects (a load knows its count in advance).
    void reserve(std::size_t more) { m_objects.reserve(m_objects.size() + more); }

    // The next free id (each call hands out a new one). CCAEException once every id up to the
    // largest int is taken (a document may use ids up to there).
    int NextId();
    // Makes every later NextId answer more than `maxId`.
    void reserveIdsUpTo(int maxId) {
        if (maxId >= m_nextId) m_nextId = static_cast<long long>(maxId) + 1;
    }

    // Constructs an object of the identity's type through its factory (an unknown type gets a
    // generic object that keeps whatever a document gives it), stores it and runs initialize.
    // A negative id takes the next free one; an id in use raises CCAEEntryAlreadyExists.
    CCAERepBase* createNew(const CIdentity& identity);

    void registerFactory(const std::wstring& type, std::unique_ptr<ICAEObjectFactory> factory);
    template <class T>
    void registerFactory(const std::wstring& type) {
        registerFactory(type, std::make_unique<CCAEObjectFactory<T>>());
    }
    bool hasFactory(const std::wstring& type) const { return m_factories.count(type) != 0; }
    std::vector<std::wstring> getRegisteredTypes() const;

    // Re-keys an object; false when another object holds the id.
    bool changeId(CCAERepBase* object, int newId);

    // Removes objects created since beginJournal (they are detached from parents that stay).
    void beginJournal();
    void endJournal();
    void rollbackJournal();

    // Host services for the classes that reach host objects (mesh, geometry, materials,
    // imported loads). Null falls back to the process-wide provider.
    void setHostProvider(std::shared_ptr<IHostModelProvider> provider) {
        m_hostProvider = std::move(provider);
    }
    IHostModelProvider* getHostProvider() const;

  private:
    CCAERepBase* store(std::unique_ptr<CCAERepBase> object);

    EForm m_form;
    std::unordered_map<int, std::unique_ptr<CCAERepBase>> m_objects;
    std::unordered_map<std::wstring, std::unique_ptr<ICAEObjectFactory>> m_factories;
    // Wider than an id: a document's largest id plus one must not overflow.
    long long m_nextId = 1;
    CCAERep* m_root = nullptr;
    bool m_journaling = false;
    std::vector<int> m_journal;
    std::shared_ptr<IHostModelProvider> m_hostProvider;
};

// Registers the factories of every representation class with a full database.
void RegisterRepresentationFactories(CCAEDatabase& database);

}  // namespace NCAERep
