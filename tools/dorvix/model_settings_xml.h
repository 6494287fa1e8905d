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

// The model's file as a document, with its solver object's analysis names and the element the
// host keeps the analysis settings in, and the file's text as it was read.
struct ModelSettingsXml {
    std::shared_ptr<pugi::xml_document> document = std::make_shared<pugi::xml_document>();
    std::string physicsName;
    std::string analysisName;
    pugi::xml_node settings;

    std::string text;
    // Where the start tags of the solver object and of its settings element begin in `text`;
    // the settings' is absent when the model had no settings element.
    std::size_t solverStart = 0;
    std::optional<std::size_t> settingsStart;
};

// False, with the reason, when the file cannot be read or has no solver object. A model saved
// before any settings existed gets an empty settings element (the defaults stand).
[[nodiscard]] bool ReadModelSettingsXml(const std::filesystem::path& file, ModelSettingsXml& model,
                                        std::string& problem);
// The same from the file's text; `file` names it in the reason.
[[nodiscard]] bool ReadModelSettingsText(std::string text, const std::filesystem::path& file,
                                         ModelSettingsXml& model, std::string& problem);

// The model's text with the settings element holding what `model.settings` holds now and every
// other byte as it was read: the file keeps its declaration, document type, comments,
// processing instructions, blank values and line ends. A model without a settings element gets
// one as the solver object's last child. False, with the reason, when the element cannot be
// placed in the text.
[[nodiscard]] bool ModelTextWithSettings(const ModelSettingsXml& model, std::string& text,
                                         std::string& problem);

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
