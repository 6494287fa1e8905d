// The edit of host.json's text after step changes: step count, carried load activity, object steps, times.
#include "hostsim/step_write_back.h"

#include <charconv>
#include <nlohmann/json.hpp>
#include <vector>

#include "hostsim/json_text.h"
#include "hostsim/object_model.h"

namespace {

using Members = std::vector<std::pair<std::string, JsonSpan>>;

std::optional<long long> IntOf(std::string_view text) {
    long long value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::string NumberText(double value) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    return std::string(text, end);
}

// An activity array carried on to `count` steps: the last step's activity for each new step.
std::string CarriedActivity(const JsonText& json, JsonSpan array, int count) {
    std::vector<std::string> steps;
    for (const JsonSpan element : json.Elements(array)) steps.emplace_back(json.Text(element));
    if (steps.empty()) return std::string(json.Text(array));
    steps.resize(static_cast<std::size_t>(count), steps.back());
    std::string text = "[";
    for (std::size_t i = 0; i < steps.size(); ++i) text += (i ? ", " : "") + steps[i];
    return text + "]";
}

void CarryActivity(const JsonText& json, const Members& owner, int count, JsonTextEdits& edits) {
    JsonSpan activity;
    if (JsonText::Find(owner, "activeSteps", activity))
        edits.Replace(activity, CarriedActivity(json, activity, count));
}

void KeepLoadSteps(const JsonText& json, const Members& root, int count, JsonTextEdits& edits) {
    JsonSpan table;
    if (!JsonText::Find(root, "objectTable", table) || !json.IsObject(table)) return;
    const Members tableMembers = json.Members(table);
    JsonSpan stepCount;
    const bool stated = JsonText::Find(tableMembers, "stepCount", stepCount);
    if ((stated ? IntOf(json.Text(stepCount)).value_or(0) : 1) == count) return;
    if (stated)
        edits.Replace(stepCount, std::to_string(count));
    else
        edits.Replace({table.begin + 1, table.begin + 1},
                      "\"stepCount\": " + std::to_string(count) + (tableMembers.empty() ? "" : ", "));
    JsonSpan loads;
    JsonSpan records;
    if (!JsonText::Find(root, "loads", loads) || !JsonText::Find(json.Members(loads), "records", records))
        return;
    for (const JsonSpan record : json.Elements(records)) {
        const Members load = json.Members(record);
        CarryActivity(json, load, count, edits);
        JsonSpan variables;
        if (!JsonText::Find(load, "variables", variables)) continue;
        for (const JsonSpan variable : json.Elements(variables))
            CarryActivity(json, json.Members(variable), count, edits);
    }
}

std::string TimesText(const std::vector<double>& times) {
    std::string text = "[";
    for (std::size_t i = 0; i < times.size(); ++i) text += (i ? ", " : "") + NumberText(times[i]);
    return text + "]";
}

void KeepTimeTable(const JsonText& json, JsonSpan table, const HostSimObject& before,
                   const HostSimObject& now, JsonTextEdits& edits) {
    if (!before.timeTable || !now.timeTable) return;
    const std::vector<JsonSpan> entries = json.Elements(table);
    for (std::size_t i = 0; i < entries.size() && i < now.timeTable->size() && i < before.timeTable->size();
         ++i) {
        JsonSpan times;
        if ((*now.timeTable)[i].times != (*before.timeTable)[i].times &&
            JsonText::Find(json.Members(entries[i]), "times", times))
            edits.Replace(times, TimesText((*now.timeTable)[i].times));
    }
}

void KeepObjectSteps(const JsonText& json, const Members& root, const HostSimCase& loaded,
                     const HostSimObjectModel& objects, JsonTextEdits& edits) {
    JsonSpan entries;
    if (!JsonText::Find(root, "objects", entries)) return;
    for (const JsonSpan entry : json.Elements(entries)) {
        const Members members = json.Members(entry);
        JsonSpan id;
        if (!JsonText::Find(members, "id", id)) continue;
        const std::optional<long long> objectId = IntOf(json.Text(id));
        const HostSimObject* before = nullptr;
        for (const HostSimObject& o : loaded.objects)
            if (objectId && o.id == *objectId) before = &o;
        HostSimObject now;
        if (!before || !objects.Get(before->id, now)) continue;
        JsonSpan value;
        if (now.steps != before->steps && now.steps && JsonText::Find(members, "steps", value))
            edits.Replace(value, std::to_string(*now.steps));
        if (now.stepCount != before->stepCount && now.stepCount &&
            JsonText::Find(members, "stepCount", value))
            edits.Replace(value, std::to_string(*now.stepCount));
        if (JsonText::Find(members, "timeTable", value)) KeepTimeTable(json, value, *before, now, edits);
    }
}

}  // namespace

std::optional<std::string> HostJsonWithStepChanges(std::string_view text, const HostSimCase& loaded,
                                                   const HostSimObjectModel& objects,
                                                   std::optional<int> loadStepCount) {
    // The spans are found by a scan that trusts the text to be a document.
    if (!nlohmann::json::accept(text)) return std::nullopt;
    const JsonText json(text);
    const Members root = json.Members(json.Root());
    JsonTextEdits edits;
    if (loadStepCount && *loadStepCount >= 1) KeepLoadSteps(json, root, *loadStepCount, edits);
    KeepObjectSteps(json, root, loaded, objects, edits);
    if (edits.Empty()) return std::string(text);
    std::string kept = edits.ApplyTo(text);
    if (!nlohmann::json::accept(kept)) return std::nullopt;
    return kept;
}
