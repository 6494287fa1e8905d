// The two readers the object writers share: an object's scoping as geometry references and
// entity ids, and a load's magnitude as one flat list of (abscissa, value) pairs.
#include <algorithm>

#include "caerep/core/cae_rep_base.h"
#include "deck/dorvix_feeder.h"

namespace {

// A time table's last row within this of the last step's end already holds to the end.
constexpr double kEndTimeTolerance = 1e-6;

// The property's value; an absent property reads as empty. A property of another type throws.
template <class T>
T ReadOptional(const NCAERep::CCAERepBase& object, const wchar_t* name) {
    T value{};
    if (const NCAERep::CPropertyValue* property = object.findProperty(name)) property->getValue(value);
    return value;
}

bool IsMagnitudeName(const std::wstring& name) { return name == L"Magnitude" || name == L"Scalar2"; }

struct LoadSteps {
    std::vector<bool> isActive;
    std::vector<int> numbers;

    // The activity of the first entry numbered `step`; false when there is none.
    bool Find(int step, bool& active) const {
        const auto it = std::find(numbers.begin(), numbers.end(), step);
        const auto k = static_cast<std::size_t>(it - numbers.begin());
        if (it == numbers.end() || k >= isActive.size()) return false;
        active = isActive[k];
        return true;
    }
};

}  // namespace

int DorvixFeeder::ReadScoping(const NCAERep::CIdentity& object, JXReferenceList& references,
                              JXList<unsigned int>& ids) try {
    if (!selectionResolver_) return kRC_ModelLoadFailed;
    const NCAERep::CCAERepBase* rep = inputDatabase_.getObject(object);
    if (!rep) return kRC_ModelLoadFailed;
    const auto scoping = ReadOptional<std::vector<std::wstring>>(*rep, L"Scoping");
    if (scoping.empty()) return kRC_ModelLoadFailed;
    ResolvedSelection selection;
    if (selectionResolver_->Resolve(scoping.front(), selection) != S_OK || selection.entities.empty())
        return kRC_ModelLoadFailed;
    for (const SelectedEntity& entity : selection.entities) {
        references.Add(entity.reference);
        ids.Add(entity.id);
    }
    return kRC_Success;
} catch (...) {
    return AnswerException(kRC_Exception, L"Reading the scoping of an object");
}

int DorvixFeeder::ReadLoadMagnitude(const NCAERep::CIdentity& load, const std::wstring& name, double scale,
                                    std::vector<double>& pairs, bool* byTime) try {
    pairs.clear();
    if (!IsMagnitudeName(name)) return kRC_DataMismatch;
    const NCAERep::CCAERepBase* rep = inputDatabase_.getObject(load);
    if (!rep) return kRC_ModelLoadFailed;
    const NCAERep::CCAERepBase* stepChild = rep->getChild(L"LoadStep", L"LoadStep");
    if (!stepChild) return kRC_ModelLoadFailed;
    const LoadSteps steps{ReadOptional<std::vector<bool>>(*stepChild, L"IsActive"),
                          ReadOptional<std::vector<int>>(*stepChild, L"Number")};
    const int lastStep = GetNumberOfSteps();

    if (const NCAERep::CCAERepBase* table = rep->getChild(name, L"Table")) {
        const auto values = ReadOptional<std::vector<double>>(*table, L"Values");
        const bool timeTable = table->hasProperty(L"StepNumber");
        if (byTime) *byTime = timeTable;
        if (timeTable) {
            const auto stepNumbers = ReadOptional<std::vector<int>>(*table, L"StepNumber");
            const auto times = ReadOptional<std::vector<double>>(*table, L"Time");
            // A row without its step or time would be read past the end of its column.
            if (stepNumbers.size() != values.size() || times.size() != values.size()) return kRC_DataMismatch;
            for (std::size_t r = 0; r < values.size(); ++r) {
                bool active = false;
                if (!steps.Find(stepNumbers[r], active)) {
                    pairs.clear();
                    return kRC_ModelLoadFailed;
                }
                if (active) pairs.insert(pairs.end(), {times[r], values[r] * scale});
            }
            if (!pairs.empty()) {
                double end = 0.0;
                if (const int code = GetStepEndTime(lastStep, end); code != kRC_Success) {
                    pairs.clear();
                    return code;
                }
                const double lastTime = pairs[pairs.size() - 2];
                const double lastValue = pairs.back();
                if (lastTime + kEndTimeTolerance < end) pairs.insert(pairs.end(), {end, lastValue});
            }
        } else {
            const auto temperatures = ReadOptional<std::vector<double>>(*table, L"Temperature");
            if (temperatures.size() != values.size()) return kRC_DataMismatch;
            for (std::size_t r = 0; r < values.size(); ++r)
                pairs.insert(pairs.end(), {temperatures[r], values[r] * scale});
        }
    }
    if (pairs.size() >= 2) return kRC_Success;

    // No table, or none of its rows counted: the magnitude is the constant over every step.
    pairs.clear();
    if (byTime) *byTime = true;
    if (!rep->hasProperty(name)) return kRC_DataMismatch;
    double constant = 0.0;
    rep->getProperty(name).getValue(constant);
    pairs.insert(pairs.end(), {0.0, constant});
    for (int step = 1; step <= lastStep; ++step) {
        double end = 0.0;
        if (const int code = GetStepEndTime(step, end); code != kRC_Success) {
            pairs.clear();
            return code;
        }
        pairs.insert(pairs.end(), {end, constant});
    }
    return kRC_Success;
} catch (...) {
    pairs.clear();
    return AnswerException(kRC_Exception, L"Reading the magnitude of a load");
}
