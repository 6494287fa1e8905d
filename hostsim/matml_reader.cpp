// The MatML parser: metadata ids, materials, property data, comma-separated values; refusals give their line.
#include "hostsim/matml_reader.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>
#include <pugixml.hpp>
#include <vector>

#include "host/material.h"
#include "platform/files.h"
#include "platform/text.h"

namespace {

struct ParameterDetails {
    std::wstring name;
    MatmlUnit unit;
};

class MatmlParser {
  public:
    MatmlParser(std::string_view xml, std::string sourceName) : xml_(xml), source_(std::move(sourceName)) {}

    MatmlLibraryData Parse();

  private:
    [[noreturn]] void Fail(const pugi::xml_node& at, const std::string& reason) const;
    int LineOf(const pugi::xml_node& node) const;
    void ReadMetadata(const pugi::xml_node& doc);
    MatmlUnit ReadUnits(const pugi::xml_node& details);
    void ReadMaterial(const pugi::xml_node& material, MatmlLibraryData& library);
    void ReadPropertyData(const pugi::xml_node& propertyData, MatmlMaterial& material);
    MatmlColumn ReadParameterValue(const pugi::xml_node& parameterValue);
    std::vector<double> ReadValues(const pugi::xml_node& data);

    std::string_view xml_;
    std::string source_;
    std::map<std::string, std::wstring> properties_;
    std::map<std::string, ParameterDetails> parameters_;
};

std::wstring Wide(const char* utf8) { return platform::Utf8ToWide(utf8 ? utf8 : ""); }

std::string Quoted(std::wstring_view name) { return "\"" + platform::WideToUtf8(name) + "\""; }

std::string_view Trim(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

// The text of the first Qualifier child with the given name; empty when there is none.
std::wstring Qualifier(const pugi::xml_node& node, const char* name) {
    for (pugi::xml_node q : node.children("Qualifier"))
        if (std::string_view(q.attribute("name").value()) == name)
            return Wide(std::string(Trim(q.child_value())).c_str());
    return {};
}

int MatmlParser::LineOf(const pugi::xml_node& node) const {
    const std::ptrdiff_t offset = node.offset_debug();
    if (offset < 0 || static_cast<std::size_t>(offset) > xml_.size()) return 0;
    return 1 + static_cast<int>(std::count(xml_.begin(), xml_.begin() + offset, '\n'));
}

void MatmlParser::Fail(const pugi::xml_node& at, const std::string& reason) const {
    std::string where = source_;
    if (at) where += ":" + std::to_string(LineOf(at));
    throw MatmlError(where + ": " + reason);
}

MatmlLibraryData MatmlParser::Parse() {
    pugi::xml_document document;
    const pugi::xml_parse_result parsed = document.load_buffer(xml_.data(), xml_.size());
    if (!parsed) {
        const auto offset = static_cast<std::size_t>(
            std::clamp<std::ptrdiff_t>(parsed.offset, 0, static_cast<std::ptrdiff_t>(xml_.size())));
        const int line = 1 + static_cast<int>(std::count(xml_.begin(), xml_.begin() + offset, '\n'));
        throw MatmlError(source_ + ":" + std::to_string(line) +
                         ": not well-formed XML: " + parsed.description());
    }
    const pugi::xpath_node_set docs = document.select_nodes("//MatML_Doc");
    if (docs.empty()) Fail({}, "no MatML_Doc element");

    MatmlLibraryData library;
    for (const pugi::xpath_node& doc : docs) {
        properties_.clear();
        parameters_.clear();
        ReadMetadata(doc.node());
        for (pugi::xml_node material : doc.node().children("Material")) ReadMaterial(material, library);
    }
    return library;
}

void MatmlParser::ReadMetadata(const pugi::xml_node& doc) {
    const pugi::xml_node metadata = doc.child("Metadata");
    for (pugi::xml_node details : metadata.children("PropertyDetails")) {
        const std::string id = details.attribute("id").value();
        const std::wstring name = Wide(std::string(Trim(details.child_value("Name"))).c_str());
        if (id.empty() || name.empty()) Fail(details, "PropertyDetails needs an id and a Name");
        if (!properties_.emplace(id, name).second)
            Fail(details, "PropertyDetails id \"" + id + "\" given twice");
    }
    for (pugi::xml_node details : metadata.children("ParameterDetails")) {
        const std::string id = details.attribute("id").value();
        ParameterDetails parameter{Wide(std::string(Trim(details.child_value("Name"))).c_str()),
                                   ReadUnits(details)};
        if (id.empty() || parameter.name.empty()) Fail(details, "ParameterDetails needs an id and a Name");
        if (!parameters_.emplace(id, parameter).second)
            Fail(details, "ParameterDetails id \"" + id + "\" given twice");
    }
}

MatmlUnit MatmlParser::ReadUnits(const pugi::xml_node& details) {
    MatmlUnit unit;
    for (pugi::xml_node u : details.child("Units").children("Unit")) {
        const std::string name(Trim(u.child_value("Name")));
        double power = 1.0;
        if (const pugi::xml_attribute p = u.attribute("power")) {
            const std::string_view text = Trim(p.value());
            const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), power);
            if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(power))
                Fail(u, "unit power \"" + std::string(p.value()) + "\" is not a number");
        }
        if (!unit.MultiplyBy(name, power)) Fail(u, "unknown unit \"" + name + "\"");
    }
    unit.Finish();
    return unit;
}

void MatmlParser::ReadMaterial(const pugi::xml_node& node, MatmlLibraryData& library) {
    const pugi::xml_node bulk = node.child("BulkDetails");
    if (!bulk) Fail(node, "Material without BulkDetails");
    MatmlMaterial material;
    material.name = Wide(std::string(Trim(bulk.child_value("Name"))).c_str());
    if (library.FindMaterial(material.name)) Fail(bulk, "material " + Quoted(material.name) + " given twice");
    for (pugi::xml_node propertyData : bulk.children("PropertyData"))
        ReadPropertyData(propertyData, material);
    library.materials.push_back(std::move(material));
}

void MatmlParser::ReadPropertyData(const pugi::xml_node& node, MatmlMaterial& material) {
    const auto found = properties_.find(node.attribute("property").value());
    if (found == properties_.end())
        Fail(node, "PropertyData names no PropertyDetails (property=\"" +
                       std::string(node.attribute("property").value()) + "\")");
    MatmlData data;
    data.behavior = Qualifier(node, "Behavior");
    data.name = Qualifier(node, "Data");
    if (data.name.empty()) data.name = found->second;
    for (pugi::xml_node parameterValue : node.children("ParameterValue")) {
        MatmlColumn column = ReadParameterValue(parameterValue);
        if (data.FindColumn(column.name))
            Fail(parameterValue, "parameter " + Quoted(column.name) + " given twice in one PropertyData");
        data.columns.push_back(std::move(column));
    }

    auto property = std::find_if(material.properties.begin(), material.properties.end(),
                                 [&](const MatmlProperty& p) { return p.name == found->second; });
    if (property == material.properties.end()) {
        material.properties.push_back(MatmlProperty{found->second, {}});
        property = material.properties.end() - 1;
    }
    for (const MatmlData& existing : property->data)
        if (existing.name == data.name)
            Fail(node, "data " + Quoted(data.name) + " of property " + Quoted(property->name) +
                           " given twice in material " + Quoted(material.name));
    property->data.push_back(std::move(data));
}

MatmlColumn MatmlParser::ReadParameterValue(const pugi::xml_node& node) {
    const auto found = parameters_.find(node.attribute("parameter").value());
    if (found == parameters_.end())
        Fail(node, "ParameterValue names no ParameterDetails (parameter=\"" +
                       std::string(node.attribute("parameter").value()) + "\")");
    return MatmlColumn{found->second.name, found->second.unit, ReadValues(node.child("Data"))};
}

// Values are separated by commas; "undefined", or no text at all, stands for a value the
// host holds without data.
std::vector<double> MatmlParser::ReadValues(const pugi::xml_node& data) {
    std::vector<double> values;
    std::string_view text = Trim(data.child_value());
    if (text.empty()) return {kHostUndefinedValue};
    while (true) {
        const std::size_t comma = text.find(',');
        const std::string_view token = Trim(text.substr(0, comma));
        if (platform::EqualsIgnoreAsciiCase(token, std::string_view("undefined"))) {
            values.push_back(kHostUndefinedValue);
        } else {
            double v = 0.0;
            const auto [end, ec] = std::from_chars(token.data(), token.data() + token.size(), v);
            if (token.empty() || ec != std::errc() || end != token.data() + token.size() || !std::isfinite(v))
                Fail(data, "value \"" + std::string(token) + "\" is not a finite number");
            values.push_back(v);
        }
        if (comma == std::string_view::npos) break;
        text.remove_prefix(comma + 1);
    }
    return values;
}

}  // namespace

MatmlLibraryData ReadMatmlText(std::string_view xml, const std::string& sourceName) {
    return MatmlParser(xml, sourceName).Parse();
}

MatmlLibraryData ReadMatmlFile(const std::filesystem::path& path) {
    std::string text, error;
    if (!platform::ReadWholeFile(path, text, &error))
        throw MatmlError(path.string() + ": cannot be read: " + error);
    return ReadMatmlText(text, path.string());
}
