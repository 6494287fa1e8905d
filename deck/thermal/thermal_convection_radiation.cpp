// Convection and radiation of the model's faces (edges in 2-D): the ambient temperature and the
// film coefficient or emissivity as ".FCT" functions, each on the face group of its scoping.
#include <cmath>
#include <string>
#include <vector>

#include "caerep/core/cae_rep.h"
#include "caerep/core/cae_rep_base.h"
#include "caerep/model/bc_reps.h"
#include "deck/deck_counters.h"
#include "deck/feeders/thermal_dorvix_feeder.h"
#include "deck/loads/load_writer_support.h"
#include "foundation/number_format.h"
#include "platform/text.h"

namespace {

// Posts "<kind> "<caption>" (object <id>): <reason>" as an error and gives the code back.
[[nodiscard]] int RefuseObject(DorvixFeeder& feeder, const NCAERep::CCAERepBase& object, int code,
                               const std::wstring& reason) {
    std::wstring caption;
    if (const NCAERep::CPropertyValue* property = object.findProperty(L"Caption"))
        property->getValue(caption);
    feeder.PostHostMessage(object.getType() + L" \"" + caption + L"\" (object " +
                               std::to_wstring(object.getId()) + L"): " + reason,
                           L"Error");
    return code;
}

std::vector<NCAERep::CIdentity> ObjectsOfType(NCAERep::CCAERep* root, const wchar_t* type) {
    std::vector<NCAERep::CIdentity> identities;
    if (root) root->getIdentitiesByType(type, identities);
    return identities;
}

}  // namespace

int ThermalDorvixFeeder::StartExchangeLoad(const NCAERep::CIdentity& identity,
                                           const NCAERep::CCAERepBase& object, ExchangeLoad& exchange) {
    std::wstring caption;
    object.getProperty(L"Caption").getValue(caption);
    WriteLoadBanner(platform::WideToUtf8(caption));
    LoadHistory ambient;
    if (const int code = ReadLoadMagnitude(identity, L"Magnitude", 1.0, ambient); code != kRC_Success)
        return code;
    // The solver would take "NaN" or "inf" for a word of the deck, or compute with it.
    if (!loadwriter::AllFinite(ambient))
        return RefuseObject(*this, object, kRC_DataMismatch, L"its ambient temperature is not finite");
    exchange.ambientFunction = NextFunctionNumber();
    GetDeckFile()->WriteLine("! Ambient Temperature");
    if (WriteFunction(ambient, nullptr, exchange.ambientFunction) != S_OK)
        return RefuseObject(*this, object, kRC_DataMismatch, L"its ambient temperature cannot be written");
    return kRC_Success;
}

int ThermalDorvixFeeder::WriteScalar2Function(const NCAERep::CIdentity& identity,
                                              const NCAERep::CCAERepBase& object, const wchar_t* what,
                                              const char* comment, int& function, bool& byTime) {
    const std::wstring its = std::wstring(L"its ") + what;
    LoadHistory values;
    if (const int code = ReadLoadMagnitude(identity, L"Scalar2", 1.0, values, &byTime); code != kRC_Success)
        return RefuseObject(*this, object, code, its + L" cannot be read");
    if (!loadwriter::AllFinite(values))
        return RefuseObject(*this, object, kRC_DataMismatch, its + L" is not finite");
    function = NextFunctionNumber();
    if (comment) GetDeckFile()->WriteLine(comment);
    if (WriteFunction(values, nullptr, function) != S_OK)
        return RefuseObject(*this, object, kRC_DataMismatch, its + L" cannot be written");
    return kRC_Success;
}

int ThermalDorvixFeeder::WriteExchangeGroup(const NCAERep::CIdentity& identity,
                                            const NCAERep::CCAERepBase& object, ExchangeLoad& exchange) {
    JXReferenceList references;
    JXList<unsigned int> ids;
    if (const int code = ReadScoping(identity, references, ids); code != kRC_Success) return code;
    const int firstBody = ids.GetCount() > 0 ? static_cast<int>(ids[0]) : 0;
    if (WriteFaceLoadGroup(references, object.getId(), firstBody, exchange.group) != kRC_Success)
        return RefuseObject(*this, object, kRC_MissingData, L"its face group cannot be written");
    return kRC_Success;
}

int ThermalDorvixFeeder::WriteConvections() try {
    if (!GetDeckFile()) return kRC_MissingData;
    for (const NCAERep::CIdentity& identity :
         ObjectsOfType(GetInputRoot(), NCAERep::NBC::CConvection::kTypeName)) {
        const NCAERep::CCAERepBase* object = InputDatabase().getObject(identity);
        if (!object) {
            PostHostMessage(L"A convection of the model cannot be read", L"Error");
            return kRC_MissingData;
        }
        ExchangeLoad exchange;
        if (const int code = StartExchangeLoad(identity, *object, exchange); code != kRC_Success) return code;
        int film = 0;
        bool byTime = false;
        if (const int code = WriteScalar2Function(identity, *object, L"film coefficient",
                                                  "! Film Coefficient", film, byTime);
            code != kRC_Success)
            return code;
        if (const int code = WriteExchangeGroup(identity, *object, exchange); code != kRC_Success)
            return code;
        const FaceLoadGroup& group = exchange.group;
        const std::string against = byTime ? " TIME" : " TEMP";
        const std::string target = std::string(group.keyword) + " GROUP \"" + group.name + "\" V 1.0 NF ";
        GetDeckFile()->WriteLine(".CLT TFC " + target + std::to_string(exchange.ambientFunction) + against);
        GetDeckFile()->WriteLine(".CLT CONV " + target + std::to_string(film) + against);
    }
    return kRC_Success;
} catch (...) {
    return AnswerException(kRC_Exception, L"Writing the convections");
}

int ThermalDorvixFeeder::WriteRadiations() try {
    if (!GetDeckFile()) return kRC_MissingData;
    for (const NCAERep::CIdentity& identity :
         ObjectsOfType(GetInputRoot(), NCAERep::NBC::CRadiation::kTypeName)) {
        const NCAERep::CCAERepBase* object = InputDatabase().getObject(identity);
        if (!object) {
            PostHostMessage(L"A radiation of the model cannot be read", L"Error");
            return kRC_MissingData;
        }
        ExchangeLoad exchange;
        if (const int code = StartExchangeLoad(identity, *object, exchange); code != kRC_Success) return code;
        if (const int code = WriteExchangeGroup(identity, *object, exchange); code != kRC_Success)
            return code;
        const FaceLoadGroup& group = exchange.group;

        std::wstring correlation;
        object->getProperty(L"Correlation").getValue(correlation);
        if (correlation == L"ToAmbient") {
            double emissivity = 0.0;
            object->getProperty(L"Emissivity").getValue(emissivity);
            if (!std::isfinite(emissivity))
                return RefuseObject(*this, *object, kRC_DataMismatch, L"its emissivity is not finite");
            const std::string target = std::string(group.keyword) + " GROUP \"" + group.name + "\" V ";
            GetDeckFile()->WriteLine(".CLT EMI " + target + FormatGeneral15(emissivity));
            GetDeckFile()->WriteLine(".CLT TFR " + target + "1.0 NF " +
                                     std::to_string(exchange.ambientFunction) + " TIME");
            continue;
        }
        // Between surfaces the solver computes the exchange from the "Scalar2" function; the
        // ambient function stays in the deck unused.
        int function = 0;
        bool byTime = false;
        if (const int code =
                WriteScalar2Function(identity, *object, L"exchange function", nullptr, function, byTime);
            code != kRC_Success)
            return code;
        GetDeckFile()->WriteLine(".R3D GROUP \"" + group.name + "\" EMIS 1. NF " + std::to_string(function) +
                                 (byTime ? " TIME CALCULE" : " TEMP CALCULE"));
    }
    return kRC_Success;
} catch (...) {
    return AnswerException(kRC_Exception, L"Writing the radiations");
}
