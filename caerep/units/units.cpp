// The unit database: the singleton, loading of the definition files and the symbol table.
#include "caerep/units/units.h"

#include <algorithm>
#include <cstring>

#include "caerep/core/cae_database.h"
#include "caerep/core/cae_exception.h"
#include "caerep/units/unit_definition_folder.h"
#include "caerep/units/unit_objects.h"
#include "foundation/text.h"
#include "platform/text.h"

namespace NCAERep {

namespace {

std::wstring Wide(const char* s) { return platform::Utf8ToWide(s ? s : ""); }

CPropertyValue StringValue(const std::wstring& s) {
    CPropertyValue v;
    v.setValue(s);
    return v;
}

CPropertyValue DimensionlessValue(double d) {
    CPropertyValue v;
    v.setValue(d, L"NoDimension", L"NoUnit");
    return v;
}

// Reads a numeric child text; a definition with an unreadable number is a broken file.
double ChildNumber(pugi::xml_node e, const char* child, double fallback, const std::wstring& unit) {
    pugi::xml_node c = e.child(child);
    if (!c) return fallback;
    double d = 0.0;
    if (!TryParseDouble(c.text().get(), d))
        throw CCAEConversionException(
            L"Unit \"" + unit + L"\": " + Wide(child) + L" \"" + Wide(c.text().get()) + L"\" is not a number",
            L"CUnits::loadDefinitions");
    return d;
}

}  // namespace

CUnits::CUnits(const CIdentity& identity) : CCAERepBase(identity) {}

// Objects never touch one another while a database is torn down (children may already be
// gone); the own database, if any, goes after this body with the definition objects.
CUnits::~CUnits() = default;

CUnits* CUnits::getInstance() {
    static std::unique_ptr<CUnits> instance;
    if (instance) return instance.get();
    instance = std::make_unique<CUnits>(CIdentity(L"Units", L"Units", 0));
    instance->initialize();
    std::filesystem::path folder = findDefinitionFolder();
    if (!folder.empty()) {
        try {
            instance->loadDefinitions(folder);
        } catch (const CCAEException& e) {
            // The database keeps what was read; conversions that need the rest fail.
            RaiseOrCollect(e, 1);
        }
    }
    return instance.get();
}

std::filesystem::path CUnits::findDefinitionFolder() { return FindUnitDefinitionFolder(); }

void CUnits::initialize() {
    setTypeName(L"Units");
    if (!getDatabase()) {
        m_ownDatabase = std::make_unique<CCAEDatabase>(CCAEDatabase::EForm::Light);
        m_ownDatabase->registerFactory<CBaseUnit>(CBaseUnit::kTypeName);
        m_ownDatabase->registerFactory<CPrefix>(CPrefix::kTypeName);
        m_ownDatabase->registerFactory<CDerivedUnit>(CDerivedUnit::kTypeName);
        m_ownDatabase->registerFactory<CUnits>(L"Units");
        setDatabase(m_ownDatabase.get());
    }
    CCAERepBase::initialize();
}

bool CUnits::resume(pugi::xml_node element) {
    bool ok = CCAERepBase::resume(element);
    buildSymbolTable();
    return ok;
}

bool CUnits::loadDefinitions(const std::filesystem::path& folder) {
    pugi::xml_document units;
    if (!units.load_file((folder / "Units_qzm.xml").c_str()) || !units.document_element()) return false;
    pugi::xml_node top = units.document_element();

    CCAERepBase* baseUnits = createChild(L"BaseUnit", L"BaseUnit");
    for (pugi::xml_node e : top.child("BaseUnit").children()) {
        if (e.type() != pugi::node_element || !e.attribute("Name")) continue;
        baseUnits->addProperty(Wide(e.attribute("Name").value()),
                               StringValue(Wide(e.attribute("Alias").value())));
    }
    for (pugi::xml_node e : top.child("Prefixes").children()) {
        if (e.type() != pugi::node_element || !e.attribute("Name")) continue;
        std::wstring name = Wide(e.attribute("Name").value());
        CCAERepBase* prefix = createChild(L"Prefix", name);
        prefix->setProperty(L"Name", StringValue(name));
        prefix->setProperty(L"Alias", StringValue(Wide(e.attribute("Alias").value())));
        prefix->setProperty(L"Factor", DimensionlessValue(ChildNumber(e, "Factor", 1.0, name)));
    }
    for (pugi::xml_node e : top.child("DerivedUnit").children()) {
        if (e.type() != pugi::node_element || !e.attribute("Name")) continue;
        std::wstring name = Wide(e.attribute("Name").value());
        CCAERepBase* unit = createChild(L"DerivedUnit", name);
        unit->setProperty(L"Name", StringValue(name));
        unit->setProperty(L"Alias", StringValue(Wide(e.attribute("Alias").value())));
        unit->setProperty(L"Factor", DimensionlessValue(ChildNumber(e, "Factor", 1.0, name)));
        unit->setProperty(L"Offset", DimensionlessValue(ChildNumber(e, "Offset", 0.0, name)));
        pugi::xml_attribute expression = e.child("Expression").first_attribute();
        unit->setProperty(L"Expression", StringValue(Wide(expression.value())));
        CPropertyValue allowed;
        allowed.setValue(std::strcmp(e.child("AllowedPrefix").text().get(), "y") == 0);
        unit->setProperty(L"AllowedPrefix", allowed);
    }
    buildSymbolTable();

    pugi::xml_document categories;
    if (!categories.load_file((folder / "UnitCategoryBaseDimension.xml").c_str()) ||
        !categories.document_element())
        return false;
    for (pugi::xml_node e : categories.document_element().children()) {
        if (e.type() != pugi::node_element || !e.attribute("Expression")) continue;
        addProperty(Wide(e.attribute("Name").value()), StringValue(Wide(e.attribute("Expression").value())));
    }
    m_loaded = true;
    return true;
}

// ---- symbol table ------------------------------------------------------------------------
//
// A symbol reads as a unit when it is the unit's name or alias, and as a prefixed unit when it
// is a prefix's name or alias followed by the name or alias of a unit that takes prefixes. Only
// the names and aliases are held; a symbol is split where a prefix may end when it is looked up.

namespace {

void AddUnitForm(std::unordered_map<std::wstring, std::vector<int>>& forms, const std::wstring& form,
                 int at) {
    std::vector<int>& positions = forms[form];
    if (positions.empty() || positions.back() != at) positions.push_back(at);
}

}  // namespace

void CUnits::addUnitForms(const std::wstring& name, const std::wstring& alias, bool prefixable) {
    const int at = static_cast<int>(m_unitNames.size());
    m_unitNames.push_back(name);
    m_unitPrefixable.push_back(prefixable);
    AddUnitForm(m_unitForms, name, at);
    if (!alias.empty()) AddUnitForm(m_unitForms, alias, at);
}

void CUnits::buildSymbolTable() {
    {
        std::lock_guard<std::mutex> lock(m_answersLock);
        m_answers.clear();
    }
    m_unitNames.clear();
    m_unitPrefixable.clear();
    m_prefixNames.clear();
    m_unitForms.clear();
    m_prefixForms.clear();
    m_prefixLengths.clear();
    m_baseUnits.clear();
    m_prefixes.clear();
    m_derivedUnits.clear();

    for (CCAERepBase* c : getChildrenByType(L"Prefix")) {
        auto* p = dynamic_cast<const CPrefix*>(c);
        if (!p) continue;
        std::wstring name, alias;
        p->m_Name.getValue(name);
        p->m_Alias.getValue(alias);
        m_prefixes.emplace(name, p);
        const int at = static_cast<int>(m_prefixNames.size());
        m_prefixNames.push_back(name);
        AddUnitForm(m_prefixForms, name, at);
        if (!alias.empty()) AddUnitForm(m_prefixForms, alias, at);
    }
    for (const auto& [form, positions] : m_prefixForms) m_prefixLengths.push_back(form.size());
    std::sort(m_prefixLengths.begin(), m_prefixLengths.end());
    m_prefixLengths.erase(std::unique(m_prefixLengths.begin(), m_prefixLengths.end()), m_prefixLengths.end());

    for (CCAERepBase* holder : getChildrenByType(L"BaseUnit")) {
        for (const std::wstring& name : holder->getPropertyNames()) {
            std::wstring alias;
            holder->getProperty(name).getValue(alias);
            m_baseUnits.emplace(name, alias);
        }
    }
    for (const auto& [name, alias] : m_baseUnits) addUnitForms(name, alias, true);  // by name
    for (CCAERepBase* c : getChildrenByType(L"DerivedUnit")) {
        auto* d = dynamic_cast<const CDerivedUnit*>(c);
        if (!d) continue;
        std::wstring name, alias;
        bool allowed = false;
        d->m_Name.getValue(name);
        d->m_Alias.getValue(alias);
        d->m_AllowedPrefix.getValue(allowed);
        m_derivedUnits.emplace(name, d);
        addUnitForms(name, alias, allowed);
    }
}

std::vector<CUnits::Reading> CUnits::readingsOf(const std::wstring& symbol) const {
    // (unit, prefix) positions; -1 for no prefix, so a unit's own reading comes before its
    // prefixed ones.
    std::vector<std::pair<int, int>> found;
    if (auto u = m_unitForms.find(symbol); u != m_unitForms.end())
        for (int unit : u->second) found.emplace_back(unit, -1);
    for (std::size_t length : m_prefixLengths) {
        if (length > symbol.size()) break;
        auto p = m_prefixForms.find(symbol.substr(0, length));
        if (p == m_prefixForms.end()) continue;
        auto u = m_unitForms.find(symbol.substr(length));
        if (u == m_unitForms.end()) continue;
        for (int unit : u->second)
            if (m_unitPrefixable[static_cast<std::size_t>(unit)])
                for (int prefix : p->second) found.emplace_back(unit, prefix);
    }
    std::sort(found.begin(), found.end());
    std::vector<Reading> readings;
    for (const auto& [unit, prefix] : found) {
        Reading r{prefix < 0 ? std::wstring() : m_prefixNames[static_cast<std::size_t>(prefix)],
                  m_unitNames[static_cast<std::size_t>(unit)]};
        // Two units or prefixes of one name give one reading, at its first place.
        if (std::find(readings.begin(), readings.end(), r) == readings.end())
            readings.push_back(std::move(r));
    }
    return readings;
}

const std::vector<CUnits::Reading>* CUnits::findSymbol(const std::wstring& symbol) const {
    std::lock_guard<std::mutex> lock(m_answersLock);
    if (auto it = m_answers.find(symbol); it != m_answers.end()) return &it->second;
    std::vector<Reading> readings = readingsOf(symbol);
    // Symbols that read as nothing are not kept: the held answers stay within what was asked
    // of the definitions, whatever a model names.
    if (readings.empty()) return nullptr;
    return &m_answers.emplace(symbol, std::move(readings)).first->second;
}

std::size_t CUnits::heldSymbolCount() const {
    std::lock_guard<std::mutex> lock(m_answersLock);
    return m_unitForms.size() + m_prefixForms.size() + m_answers.size();
}

}  // namespace NCAERep
