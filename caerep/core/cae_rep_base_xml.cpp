// Save, resume and copy of CCAERepBase: the XML form of objects and how a document is merged
// into objects that already exist (fixed children are matched by type and name, never doubled).
#include <cstring>
#include <unordered_map>

#include "caerep/core/cae_database.h"
#include "caerep/core/cae_exception.h"
#include "caerep/core/cae_rep_base.h"
#include "caerep/core/external_object.h"
#include "caerep/core/interned_text.h"
#include "caerep/core/property_xml.h"
#include "caerep/core/xml_names.h"
#include "platform/text.h"

namespace NCAERep {

namespace {

[[noreturn]] void ResumeFailure(pugi::xml_node element, const std::wstring& reason) {
    throw CCAEXMLResumeException(L"element " + DescribeElement(element) + L": " + reason,
                                 L"CCAERepBase::resume");
}

}  // namespace

namespace detail {
// Pairs document elements with children that existed before the document was read.
// Small sets are scanned; large ones are hashed so a reload stays linear.
class ExistingChildren {
  public:
    explicit ExistingChildren(const std::vector<CCAERepBase*>& children) : m_list(children) {
        if (m_list.size() > 16)
            for (std::size_t i = 0; i < m_list.size(); ++i)
                m_index.emplace(key(m_list[i]->typeName(), m_list[i]->objectName()), i);
    }
    // Takes the first unmatched child of that type and name, or null.
    CCAERepBase* take(const std::wstring& type, const std::wstring& name) {
        if (m_list.empty()) return nullptr;
        if (!m_index.empty()) {
            auto range = m_index.equal_range(key(type, name));
            for (auto it = range.first; it != range.second; ++it) {
                if (m_list[it->second]) {
                    CCAERepBase* c = m_list[it->second];
                    m_list[it->second] = nullptr;
                    return c;
                }
            }
            return nullptr;
        }
        for (CCAERepBase*& c : m_list) {
            if (c && c->typeName() == type && c->objectName() == name) return std::exchange(c, nullptr);
        }
        return nullptr;
    }

  private:
    static std::wstring key(const std::wstring& type, const std::wstring& name) {
        return type + L'\x1f' + name;
    }
    std::vector<CCAERepBase*> m_list;
    std::unordered_multimap<std::wstring, std::size_t> m_index;
};
}  // namespace detail

// ---- save --------------------------------------------------------------------------------

bool CCAERepBase::save(pugi::xml_node e) const {
    auto fail = [this](const wchar_t* what) {
        throw CCAEXMLSaveException(
            std::wstring(L"XML library failed to write ") + what + L" of " + describe(),
            L"CCAERepBase::save");
    };
    if (!e) fail(L"the element");
    e.append_attribute("CAEType").set_value("object");
    e.append_attribute("Type").set_value(platform::WideToUtf8(typeName()).c_str());
    e.append_attribute("Version").set_value(platform::WideToUtf8(m_version).c_str());
    e.append_attribute("Id").set_value(getId());
    AppendNameIfNeeded(e, objectName());

    for (const PropertySlot& s : m_properties) {
        pugi::xml_node p = AppendNamedElement(e, *s.name, "Property");
        if (!p) fail(L"a property");
        WritePropertyXml(p, *s.value);
        AppendNameIfNeeded(p, *s.name);
    }
    for (const CCAERepBase* c : m_children) {
        pugi::xml_node ce =
            AppendNamedElement(e, c->objectName(), platform::WideToUtf8(c->typeName()).c_str());
        if (!ce) fail(L"a child");
        c->save(ce);
    }
    for (const auto& x : m_externalObjects)
        if (!x->saveInto(e)) fail(L"an external object");
    return true;
}

// ---- resume ------------------------------------------------------------------------------

bool CCAERepBase::resume(pugi::xml_node e) {
    pugi::xml_attribute type = e.attribute("Type");
    if (!type) ResumeFailure(e, L"object without Type");
    if (*InternUtf8Text(type.value()) != typeName())
        ResumeFailure(e, L"Type \"" + platform::Utf8ToWide(type.value()) +
                             L"\" read into an object of type " + typeName());
    int id = 0;
    if (!ReadIdAttribute(e, id)) ResumeFailure(e, L"object without a valid integer Id");
    if (id != getId()) {
        if (!m_database || !m_database->changeId(this, id))
            ResumeFailure(e, L"duplicate Id " + std::to_wstring(id));
    }
    if (pugi::xml_attribute v = e.attribute("Version")) m_version = platform::Utf8ToWide(v.value());

    detail::ExistingChildren existing(m_children);
    for (pugi::xml_node c = e.first_child(); c; c = c.next_sibling()) {
        if (c.type() != pugi::node_element) continue;
        // The documented form puts CAEType first; other orders are found too.
        pugi::xml_attribute kind = c.first_attribute();
        if (!kind || std::strcmp(kind.name(), "CAEType") != 0) kind = c.attribute("CAEType");
        if (!kind) continue;  // records of the class's own (for instance "ResultDef")
        const char* k = kind.value();
        if (std::strcmp(k, "property") == 0) {
            resumeProperty(c);
        } else if (std::strcmp(k, "object") == 0) {
            resumeChildObject(c, existing);
        } else if (std::strcmp(k, "externalObject") == 0) {
            setExternalObject(platform::Utf8ToWide(c.name()), c);
        } else {
            ResumeFailure(c, L"unknown CAEType \"" + platform::Utf8ToWide(k) + L"\"");
        }
    }
    createChildren();
    return true;
}

void CCAERepBase::resumeProperty(pugi::xml_node element) {
    const std::wstring* name = PropertyElementName(element);
    PropertySlot* slot = findSlot(name);
    std::wstring reason;
    if (slot) {
        if (!ReadPropertyXml(element, *slot->value, reason)) ResumeFailure(element, reason);
        return;
    }
    auto value = std::make_unique<CPropertyValue>();
    if (!ReadPropertyXml(element, *value, reason)) ResumeFailure(element, reason);
    CPropertyValue* raw = value.get();
    insertSlot(name, raw, std::move(value), L"CCAERepBase::resume", false);
}

void CCAERepBase::resumeChildObject(pugi::xml_node element, detail::ExistingChildren& existing) {
    pugi::xml_attribute type = element.attribute("Type");
    if (!type || !*type.value()) ResumeFailure(element, L"object without Type");
    if (!m_database) ResumeFailure(element, L"object " + describe() + L" has no database for its children");
    const std::wstring& childType = *InternUtf8Text(type.value());
    std::wstring childName = ElementItemName(element);

    // Fixed children created by initialize are matched, not created again.
    CCAERepBase* child = existing.take(childType, childName);
    if (!child) {
        int id = 0;
        if (!ReadIdAttribute(element, id)) ResumeFailure(element, L"object without a valid integer Id");
        if (m_database->getObjectById(id)) ResumeFailure(element, L"duplicate Id " + std::to_wstring(id));
        child = m_database->createNew(CIdentity(childType, childName, id));
        addObject(child);
    }
    child->resume(element);
}

// ---- copy --------------------------------------------------------------------------------

bool CCAERepBase::copy(const CCAERepBase* other) {
    if (!other) return false;
    if (other == this) return true;
    if (other->typeName() != typeName()) {
        m_identity.setType(other->typeName());
        // The parent finds its children by type: it must see this one under the new type.
        if (m_parent) m_parent->rebuildChildIndex();
    }
    m_identity.setName(other->objectName());
    m_version = other->m_version;
    for (const PropertySlot& s : other->m_properties) {
        if (PropertySlot* mine = findSlot(s.name))
            *mine->value = *s.value;
        else {
            auto owned = std::make_unique<CPropertyValue>(*s.value);
            CPropertyValue* raw = owned.get();
            insertSlot(s.name, raw, std::move(owned), L"CCAERepBase::copy", false);
        }
    }
    for (const auto& x : other->m_externalObjects) setExternalObject(x->getName(), x->getRootNode());
    copyChildren(*other);
    return true;
}

void CCAERepBase::copyChildren(const CCAERepBase& other) {
    if (other.m_children.empty()) return;
    if (!m_database)
        throw CCAEException(L"Object has no database to copy children into: " + describe(),
                            L"CCAERepBase::copy");
    detail::ExistingChildren matcher(m_children);
    for (const CCAERepBase* source : other.m_children) {
        CCAERepBase* target = matcher.take(source->typeName(), source->objectName());
        if (!target) {
            target = m_database->createNew(
                CIdentity(source->typeName(), source->objectName(), m_database->NextId()));
            addObject(target);
        }
        target->copy(source);
    }
}

bool CCAERepBase::copyIfSameType(const CCAERepBase* other) {
    if (!other || other->typeName() != typeName()) return false;
    return CCAERepBase::copy(other);
}

}  // namespace NCAERep
