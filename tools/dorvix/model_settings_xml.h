// The analysis settings as a case's model file holds them, read the way the host hands them to
// a settings object, and the host object the settings belong to.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <pugixml.hpp>
#include <string>
#include <string_view>

#include "host/analysis_settings_addin.h"
#include "platform/com.h"

struct HostSimCase;

// The model's analysis settings: the element the model's solver object keeps them in, parsed as
// a document of its own, the solver object's analysis names, and the file's text as it was read.
// The rest of the file is checked for its markup but never made a document, so that a large
// model costs little more than its text.
struct ModelSettingsXml {
    std::shared_ptr<pugi::xml_document> document = std::make_shared<pugi::xml_document>();
    std::string physicsName;
    std::string analysisName;
    pugi::xml_node settings;
    // Why the settings element's text does not hold what a settings object reads from it (an
    // entity reference, which it takes for text), and where; empty when nothing was found.
    std::string textNotRead;

    std::string text;
    // The solver object's start tag in `text`, and the settings element's, which is absent when
    // the model has none; how many elements hold the settings element.
    std::size_t solverStart = 0;
    std::string solverName;
    std::optional<std::size_t> settingsStart;
    int settingsDepth = 0;
    // How many levels of elements the settings element holds (0 for an empty one or none).
    int settingsNesting = 0;
    // The file's declaration names Latin-1: it holds ASCII bytes alone (else it is refused), and
    // an edit writes every character past ASCII as a character reference.
    bool latin1 = false;
};

// The deepest settings element an edit rewrites: the settings documents of every analysis nest a
// few levels deep; one that nests deeper is no settings document the edit can stand behind.
inline constexpr int kMaxSettingsNesting = 64;

// False, with the reason, when the file cannot be read, its markup is broken, or it has no solver
// object or more than one. The solver object, its analysis names and its settings element are
// those the solve's model load reads; what the edit cannot be sure to read as the load does is
// refused: objects nested past the load's bound, a reference to an entity of the document type in
// an attribute that says what an element is or names a property, an analysis name held as another
// type than text. A model saved before any settings existed gets an empty settings element (the
// defaults stand).
[[nodiscard]] bool ReadModelSettingsXml(const std::filesystem::path& file, ModelSettingsXml& model,
                                        std::string& problem);
// As ReadModelSettingsXml, from the text `model.text` already holds; `file` names it in a reason.
[[nodiscard]] bool ReadModelSettingsText(const std::filesystem::path& file, ModelSettingsXml& model,
                                         std::string& problem);

// The model's text as an edit writes it, in the order of the file: every byte as it was read but
// the settings element, which holds what `model.settings` holds now. The file keeps its
// declaration, document type, comments, processing instructions, blank values and line ends. A
// model without a settings element gets one as the solver object's last child (opening a solver
// object written as an empty-element tag). `before` and `after` are parts of `model.text`.
struct ModelTextPieces {
    std::string_view before;
    std::string opening;
    std::string element;  // the settings element alone, whole
    std::string closing;
    std::string_view after;
};
// False, with the reason, when the element cannot be placed in the text, or holds a character
// past ASCII that a Latin-1 model cannot hold as a character reference.
[[nodiscard]] bool ModelTextWithSettings(const ModelSettingsXml& model, ModelTextPieces& pieces,
                                         std::string& problem);
// The settings element as an edit writes it, read as ReadModelSettingsXml reads a model's:
// `written` takes the analysis names of `model`. False, with the reason, when it does not read as XML.
[[nodiscard]] bool ReadWrittenSettings(std::string_view element, const ModelSettingsXml& model,
                                       ModelSettingsXml& written, std::string& problem);

// Why a settings object did not take the model's settings.
enum class ModelSettingsRefusal { kNone, kUnknownType, kAnalysis, kSettings };

// The host's physics and analysis types by the names a model's solver object gives them; an empty
// name is the model's default (Mechanical, Static), a name the host does not use none.
std::optional<JXPhysicsType> PhysicsTypeNamed(std::string_view name);
std::optional<JXSimulationType> AnalysisTypeNamed(std::string_view name);
// The name of a type; "physics 7" or "analysis 9" for a type the host has no name for.
std::string PhysicsTypeName(JXPhysicsType type);
std::string AnalysisTypeName(JXSimulationType type);
// The model's analysis as the user reads it: "Static Mechanical" (the defaults for names the
// model does not give).
std::string AnalysisLabel(const ModelSettingsXml& model);

// Gives the object the types of the model's analysis, then the settings the model holds (a model
// without settings of its own leaves the defaults). kUnknownType (the object is not asked) when
// the model names a type the host does not use, kAnalysis when the object has no settings for the
// analysis, kSettings when it cannot read those the model holds; `answer` is the object's answer
// to the refused step.
[[nodiscard]] ModelSettingsRefusal TakeModelSettings(IJXAnalysisSettingsAddIn& settings,
                                                     const ModelSettingsXml& model, HRESULT& answer);

// The host object the settings belong to: the first object of the host's settings type the case
// lists, 0 when it lists none.
int HostSettingsObjectId(const HostSimCase& hostCase);
