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

void CUnits::addReading(const std::wstring& symbol, Reading reading) {
    auto& readings = m_symbols[symbol];
    if (std::find(readings.begin(), readings.end(), reading) == readings.end())
        readings.push_back(std::move(reading));
}

void CUnits::registerSymbols(const std::wstring& name, const std::wstring& alias) {
    addReading(name, Reading{L"", name});
    if (!alias.empty()) addReading(alias, Reading{L"", name});
}

void CUnits::registerPrefixedSymbols(const std::wstring& name, const std::wstring& alias,
                                     const CPrefix& prefix) {
    std::wstring pn, pa;
    prefix.m_Name.getValue(pn);
    prefix.m_Alias.getValue(pa);
    Reading r{pn, name};
    addReading(pn + name, r);
    if (!alias.empty() && !pa.empty()) addReading(pa + alias, r);
    if (!alias.empty()) addReading(pn + alias, r);
    if (!pa.empty()) addReading(pa + name, r);
}

void CUnits::buildSymbolTable() {
    m_symbols.clear();
    m_baseUnits.clear();
    m_prefixes.clear();
    m_derivedUnits.clear();

    std::vector<const CPrefix*> prefixes;
    for (CCAERepBase* c : getChildrenByType(L"Prefix")) {
        if (auto* p = dynamic_cast<const CPrefix*>(c)) {
            std::wstring name;
            p->m_Name.getValue(name);
            m_prefixes.emplace(name, p);
            prefixes.push_back(p);
        }
    }
    for (CCAERepBase* holder : getChildrenByType(L"BaseUnit")) {
        for (const std::wstring& name : holder->getPropertyNames()) {
            std::wstring alias;
            holder->getProperty(name).getValue(alias);
            m_baseUnits.emplace(name, alias);
        }
    }
    for (const auto& [name, alias] : m_baseUnits) {  // in the order of their names
        registerSymbols(name, alias);
        for (const CPrefix* p : prefixes) registerPrefixedSymbols(name, alias, *p);
    }
    for (CCAERepBase* c : getChildrenByType(L"DerivedUnit")) {
        auto* d = dynamic_cast<const CDerivedUnit*>(c);
        if (!d) continue;
        std::wstring name, alias;
        bool allowed = false;
        d->m_Name.getValue(name);
        d->m_Alias.getValue(alias);
        d->m_AllowedPrefix.getValue(allowed);
        m_derivedUnits.emplace(name, d);
        registerSymbols(name, alias);
        if (allowed)
            for (const CPrefix* p : prefixes) registerPrefixedSymbols(name, alias, *p);
    }
}

const std::vector<CUnits::Reading>* CUnits::findSymbol(const std::wstring& symbol) const {
    auto it = m_symbols.find(symbol);
    return it == m_symbols.end() ? nullptr : &it->second;
}

}  // namespace NCAERep
