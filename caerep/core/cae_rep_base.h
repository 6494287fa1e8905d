// Base of every representation object: identity, a registry of named properties (bound to
// members of the subclass or owned for properties a document adds), children owned by the
// database, and named external XML subtrees.
#pragma once

#include <map>
#include <memory>
#include <pugixml.hpp>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "caerep/core/identity.h"
#include "caerep/core/property_value.h"

namespace NCAERep {

class CCAEDatabase;
class CExternalObject;
namespace detail {
class ExistingChildren;
}

class CCAERepBase {
  public:
    explicit CCAERepBase(const CIdentity& identity);
    virtual ~CCAERepBase();
    CCAERepBase(const CCAERepBase&) = delete;
    CCAERepBase& operator=(const CCAERepBase&) = delete;

    // The eight operations every class may refine, in this order.
    // Empties the property registry, deletes external objects and forgets the children (which
    // stay owned by the database).
    virtual void clear();
    // Writes this object onto its own element: attributes, properties, children, external
    // objects. An XML library failure raises CCAEXMLSaveException.
    virtual bool save(pugi::xml_node element) const;
    // Reads this object from its own element. Bad content raises CCAEXMLResumeException naming
    // the element and the reason.
    virtual bool resume(pugi::xml_node element);
    // Copies type, name, property values, external objects and (as new objects with new ids)
    // the children of `other`. The copy keeps its own id so the database stays consistent.
    virtual bool copy(const CCAERepBase* other);
    virtual void initialize();
    virtual void registerProperties();
    virtual void createChildren();

    // ---- identity
    const CIdentity& getIdentity() const { return m_identity; }
    std::wstring getName() const { return m_identity.getName(); }
    std::wstring getType() const { return m_identity.getType(); }
    const std::wstring& typeName() const { return m_identity.getType(); }
    const std::wstring& objectName() const { return m_identity.getName(); }
    int getId() const { return m_identity.getId(); }
    const std::wstring& getVersion() const { return m_version; }
    void setVersion(std::wstring version) { m_version = std::move(version); }
    CCAEDatabase* getDatabase() const { return m_database; }
    void setDatabase(CCAEDatabase* database) { m_database = database; }
    CCAERepBase* getParent() const { return m_parent; }
    bool isRegistered() const { return m_registered; }
    // "<type> \"<name>\" (id <id>)", for messages.
    std::wstring describe() const;

    // ---- properties
    bool registerProperty(std::wstring_view name, bool value, CPropertyValue& member);
    bool registerProperty(std::wstring_view name, int value, CPropertyValue& member);
    bool registerProperty(std::wstring_view name, unsigned int value, CPropertyValue& member);
    bool registerProperty(std::wstring_view name, const wchar_t* value, CPropertyValue& member);
    bool registerProperty(std::wstring_view name, const std::wstring& value, CPropertyValue& member);
    bool registerProperty(std::wstring_view name, const std::wstring& quantityType, double value,
                          const std::wstring& units, CPropertyValue& member);
    bool registerProperty(std::wstring_view name, const std::vector<bool>& value, CPropertyValue& member);
    bool registerProperty(std::wstring_view name, const std::vector<int>& value, CPropertyValue& member);
    bool registerProperty(std::wstring_view name, const std::vector<unsigned int>& value,
                          CPropertyValue& member);
    bool registerProperty(std::wstring_view name, const std::vector<std::wstring>& value,
                          CPropertyValue& member);
    bool registerProperty(std::wstring_view name, const std::wstring& quantityType,
                          const std::vector<double>& value, const std::wstring& units,
                          CPropertyValue& member);
    bool registerProperty(std::wstring_view name, const std::map<std::wstring, std::wstring>& value,
                          CPropertyValue& member);

    // A copy of the value; CCAEPropertyDoesNotExist when the object has no such property.
    CPropertyValue getProperty(const std::wstring& name) const;
    // The value in place, or null.
    const CPropertyValue* findProperty(const std::wstring& name) const;
    bool hasProperty(const std::wstring& name) const { return findProperty(name) != nullptr; }
    // Assigns value, units and quantity type; CCAEPropertyDoesNotExist when absent.
    void setProperty(const std::wstring& name, const CPropertyValue& value);
    // Adds a property owned by the object; CCAEEntryAlreadyExists when the name is taken.
    void addProperty(const std::wstring& name, const CPropertyValue& value);
    // setProperty when present, addProperty otherwise.
    void setOrAddProperty(const std::wstring& name, const CPropertyValue& value);
    // Names in registry order (registrations first, then properties added later).
    std::vector<std::wstring> getPropertyNames() const;
    std::size_t getPropertyCount() const { return m_properties.size(); }

    // ---- children
    // The direct child of that type and name; created through the database when absent.
    CCAERepBase* createChild(const std::wstring& type, const std::wstring& name);
    void addObject(CCAERepBase* child);
    // Forgets the children for which `remove` answers true (they stay in the database).
    template <class Pred>
    void removeChildrenIf(Pred remove);
    const std::vector<CCAERepBase*>& getChildren() const { return m_children; }
    // The single direct child of the type; null when none, and null with a collected
    // CCAEAmbiguousLookupException when several.
    CCAERepBase* getChildByType(const std::wstring& type) const;
    // The single direct child with that name and type; null when none (several: collected).
    CCAERepBase* getChild(const std::wstring& name, const std::wstring& type) const;
    std::vector<CCAERepBase*> getChildrenByType(const std::wstring& type) const;
    // Every object of the type below this one: direct children first, then each child's
    // descendants in child order.
    void getDescendantsByType(const std::wstring& type, std::vector<CCAERepBase*>& out) const;
    // The only object of the type below this one; null when none or several.
    CCAERepBase* getDescendantByType(const std::wstring& type) const;
    void getIdentitiesByType(const std::wstring& type, std::vector<CIdentity>& out) const;

    // ---- external objects
    // CCAEExternalObjectDoesNotExist when absent.
    CExternalObject* getExternalObject(const std::wstring& name) const;
    bool hasExternalObject(const std::wstring& name) const;
    // Stores a copy of `element` under the name, replacing an earlier one.
    CExternalObject* setExternalObject(const std::wstring& name, pugi::xml_node element);
    std::vector<std::wstring> getExternalObjectNames() const;

  protected:
    // The type test shared by the model classes' copy: false for null or another type.
    bool copyIfSameType(const CCAERepBase* other);
    void setRegistered() { m_registered = true; }
    void setTypeName(const std::wstring& type) { m_identity.setType(type); }
    // Re-keys the identity; only the database calls this through changeId.
    friend class CCAEDatabase;
    void setIdentityId(int id) { m_identity.setId(id); }
    void setIdentityName(const std::wstring& name) { m_identity.setName(name); }

  private:
    struct PropertySlot {
        const std::wstring* name;  // pooled (interned_text.h): compared by address
        CPropertyValue* value;
        std::unique_ptr<CPropertyValue> owned;
    };
    PropertySlot* findSlot(const std::wstring* pooledName);
    const PropertySlot* findSlot(const std::wstring* pooledName) const;
    const PropertySlot* findSlotByText(std::wstring_view name) const;
    bool insertSlot(const std::wstring* pooledName, CPropertyValue* value,
                    std::unique_ptr<CPropertyValue> owned, const wchar_t* function, bool registration);
    template <class T>
    bool registerTyped(std::wstring_view name, T value, CPropertyValue& member);
    void rebuildChildIndex();
    void resumeChildObject(pugi::xml_node element, detail::ExistingChildren& existing);
    void resumeProperty(pugi::xml_node element);
    void copyChildren(const CCAERepBase& other);

    CIdentity m_identity;
    std::wstring m_version = L"1";
    CCAEDatabase* m_database = nullptr;
    CCAERepBase* m_parent = nullptr;
    bool m_registered = false;

    std::vector<PropertySlot> m_properties;
    std::unordered_map<const std::wstring*, std::size_t> m_propertyIndex;  // built once the registry grows

    std::vector<CCAERepBase*> m_children;
    std::unordered_map<std::wstring, std::vector<CCAERepBase*>> m_childrenByType;

    std::vector<std::unique_ptr<CExternalObject>> m_externalObjects;
};

template <class Pred>
void CCAERepBase::removeChildrenIf(Pred remove) {
    std::erase_if(m_children, [&](CCAERepBase* c) {
        if (!remove(c)) return false;
        c->m_parent = nullptr;
        return true;
    });
    rebuildChildIndex();
}

}  // namespace NCAERep
