// Multi-point constraints asked for by the reserved names of contact regions. Each equation is
// one solver element: a ".MCE" line listing its nodes and a ".MCC" line with the components
// and coefficients, both under the same element number.
#include <charconv>
#include <cmath>
#include <string>

#include "deck/dorvix_feeder.h"
#include "deck/mesh/mesh_wrapper.h"
#include "foundation/number_format.h"
#include "host/data_source.h"
#include "platform/text.h"

namespace {

constexpr std::string_view kAveragingPrefix = "EqMoy_";
constexpr std::string_view kWeightingPrefix = "WeightEq";
// Distances at or below this count as zero when a target node is weighed.
constexpr double kCoincidentDistance = 1e-15;

bool IsScanSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

void AppendNode(std::string& line, int node, int times) {
    for (int i = 0; i < times; ++i) {
        line += ' ';
        AppendInt(line, node);
    }
}

// One node's coefficients: `value` on the equation's axis, "0" on the others.
void AppendGroup(std::string& line, int components, int axis, const std::string& value) {
    for (int i = 0; i < components; ++i) {
        line += ' ';
        line += i == axis ? value : std::string("0");
    }
}

}  // namespace

bool DorvixFeeder::ParseAveragingName(const std::string& name, int& frame, char& axis) {
    std::string_view rest(name);
    if (rest.substr(0, kAveragingPrefix.size()) != kAveragingPrefix) return false;
    rest.remove_prefix(kAveragingPrefix.size());
    while (!rest.empty() && IsScanSpace(rest.front())) rest.remove_prefix(1);
    if (!rest.empty() && rest.front() == '+') rest.remove_prefix(1);
    int value = 0;
    const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), value);
    // An out-of-range frame number is refused rather than wrapped.
    if (error != std::errc()) return false;
    rest.remove_prefix(static_cast<std::size_t>(end - rest.data()));
    if (rest.size() < 2 || rest.front() != '_') return false;
    frame = value;
    axis = rest[1];
    return true;
}

bool DorvixFeeder::IsAveragingEquation(const ContactRegionRecord& region) {
    int frame = 0;
    char axis = 0;
    return region.contactType == 2 && ParseAveragingName(region.name, frame, axis) &&
           (axis == 'X' || axis == 'Y' || axis == 'Z');
}

bool DorvixFeeder::IsWeightingEquation(const ContactRegionRecord& region) {
    return region.contactType == 1 && region.name.rfind(kWeightingPrefix, 0) == 0;
}

int DorvixFeeder::WriteAveragingEquation(const ContactRegionRecord& region) try {
    if (!dataSource_ || !deckFile_ || !meshWrapper_) return kRC_MissingData;
    int frame = 0;
    char letter = 0;
    if (!ParseAveragingName(region.name, frame, letter)) return kRC_MissingData;
    const bool planar = dataSource_->Is2DAnalysis();
    const int components = planar ? 2 : 3;
    const int axis = letter - 'X';
    const std::wstring name = platform::Utf8ToWide(region.name);
    // A Z equation in a plane model would give three coefficients per node against two
    // components: the solver would read a wrong equation.
    if (axis < 0 || axis >= components) {
        PostHostMessage(L"The averaging equation \"" + name + L"\" names an axis the model does not have",
                        L"Error");
        return kRC_MissingData;
    }
    std::set<int> source;
    std::set<int> target;
    if (CollectSideNodes(region.source, source) != kRC_Success ||
        CollectSideNodes(region.target, target) != kRC_Success)
        return kRC_MissingData;
    // An empty side would make the mean of no nodes, an infinite coefficient.
    if (source.empty() || target.empty()) {
        PostHostMessage(L"A side of the averaging equation \"" + name + L"\" holds no node", L"Error");
        return kRC_MissingData;
    }
    int element = 0;
    if (DrawElementNumber(L"The averaging equation \"" + name + L"\"", element) != kRC_Success)
        return kRC_MissingData;

    std::string line = ".MCE I " + std::to_string(element) + " CNLI N";
    for (int node : source) AppendNode(line, node, components);
    for (int node : target) AppendNode(line, node, components);
    deckFile_->WriteLine(line);

    const double sourceCount = static_cast<double>(source.size());
    const std::string ratio = FormatGeneral15(-(sourceCount / static_cast<double>(target.size())));
    line = ".MCC I " + std::to_string(element) + " CNLI DISP 1 AXL 1 COMP";
    for (std::size_t i = 0; i < source.size() + target.size(); ++i) line += planar ? " 1 2" : " 1 2 3";
    line += " COEF";
    for (std::size_t i = 0; i < source.size(); ++i) AppendGroup(line, components, axis, "1");
    for (std::size_t i = 0; i < target.size(); ++i) AppendGroup(line, components, axis, ratio);
    line += ' ';
    AppendGeneral15(line, -(sourceCount * region.offset));
    deckFile_->WriteLine(line);

    if (frame != 0) {
        deckFile_->WriteLine(".AXL");
        for (int node : source) deckFile_->WriteFields(" I", node, "FRAME", frame);
        for (int node : target) deckFile_->WriteFields(" I", node, "FRAME", frame);
    }
    return kRC_Success;
} catch (...) {
    return AnswerException(kRC_Exception, L"Writing an averaging equation");
}

int DorvixFeeder::WriteWeightingEquations(const ContactRegionRecord& region) try {
    if (!dataSource_ || !deckFile_ || !meshWrapper_) return kRC_MissingData;
    if (!dataSource_->Is2DAnalysis()) return kRC_Success;
    std::set<int> source;
    if (CollectSideNodes(region.source, source) != kRC_Success) return kRC_MissingData;
    if (source.size() != 2) return kRC_WeightingEquation;
    std::set<int> target;
    if (CollectSideNodes(region.target, target) != kRC_Success) return kRC_MissingData;

    const int first = *source.begin();
    const int second = *source.rbegin();
    // A node the mesh does not give has no place: the origin would weigh it wrongly.
    Vector3 a, b;
    if (FAILED(meshWrapper_->GetNodeCoordinates(true, first, a)) ||
        FAILED(meshWrapper_->GetNodeCoordinates(true, second, b)))
        return kRC_MissingData;
    double nx = -(b.y - a.y);
    double ny = b.x - a.x;
    const double squared = nx * nx + ny * ny;
    if (squared == 0.0) return kRC_DataMismatch;
    const double length = std::sqrt(squared);
    nx /= length;
    ny /= length;

    for (int node : target) {
        Vector3 q;
        if (FAILED(meshWrapper_->GetNodeCoordinates(true, node, q))) return kRC_MissingData;
        const double toFirst = (q - a).Length();
        const double toSecond = (q - b).Length();
        if (toFirst <= kCoincidentDistance && toSecond <= kCoincidentDistance) return kRC_DataMismatch;
        // The nearer node weighs more; the two weights add up to 1.
        const double firstWeight = 1.0 - toFirst / (toFirst + toSecond);
        const double secondWeight = 1.0 - toSecond / (toFirst + toSecond);
        int element = 0;
        if (DrawElementNumber(L"The weighting equation \"" + platform::Utf8ToWide(region.name) + L"\"",
                              element) != kRC_Success)
            return kRC_MissingData;
        deckFile_->WriteFields(".MCE I", element, "CNLI N", node, node, first, first, second, second);
        std::string line = ".MCC I " + std::to_string(element) + " CNLI DISP 1 AXL 1 COMP 1 2 1 2 1 2 COEF";
        for (double value :
             {nx, ny, -(firstWeight * nx), -(firstWeight * ny), -(secondWeight * nx), -(secondWeight * ny)}) {
            line += ' ';
            AppendGeneral15(line, value);
        }
        line += " 0.";
        deckFile_->WriteLine(line);
    }
    return kRC_Success;
} catch (...) {
    return AnswerException(kRC_Exception, L"Writing the weighting equations");
}
