// The typed binary stream of the host's project data: the list loads, the geometry scoping
// record (ObjectData::Resume) and the counted reads, each on its own stream over the input.
// A refused record must be left as it was; an accepted one must save and load back alike.
#include <string>
#include <vector>

#include "foundation/jx_list.h"
#include "foundation/jx_stream.h"
#include "fuzz_support.h"
#include "runtime/object_data.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

template <class Record>
Bytes Save(const Record& record) {
    JXMemoryChannel channel;
    JXStream stream(channel);
    if (!record.Save(stream)) fuzz::Broken("a loaded record cannot be saved");
    return channel.Bytes();
}

// Loads with `load`, which answers whether the record was read; checks the promises above.
template <class Record, class Load, class Untouched>
void CheckLoad(const Bytes& input, Load load, Untouched untouched) {
    Record record;
    JXMemoryChannel channel(input);
    JXStream stream(channel);
    if (!load(record, stream)) {
        if (!untouched(record)) fuzz::Broken("a refused record was changed");
        return;
    }
    const Bytes saved = Save(record);
    Record again;
    JXMemoryChannel savedChannel(saved);
    JXStream savedStream(savedChannel);
    if (!load(again, savedStream) || Save(again) != saved) fuzz::Broken("a saved record loads differently");
}

void ReadCountedValues(const Bytes& input) {
    JXMemoryChannel channel(input);
    JXStream stream(channel);
    if (!stream.BeginRead()) return;
    for (int round = 0; round < 16 && stream.Good(); ++round) {
        std::string narrow;
        std::wstring wide;
        BSTR text = nullptr;
        std::vector<double> values;
        std::uint32_t count = 0;
        stream.ReadString8(narrow);
        ReadBSTR(stream, wide);
        ReadBSTR(stream, &text);
        SysFreeString(text);
        stream.ReadDoubleArray(values);
        stream.ReadCount(count, 8);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Bytes input(data, data + size);
    CheckLoad<JXReferenceList>(
        input, [](JXReferenceList& l, JXStream& s) { return l.Load(s); },
        [](const JXReferenceList& l) { return l.GetCount() == 0; });
    CheckLoad<JXIdList>(
        input, [](JXIdList& l, JXStream& s) { return l.Load(s); },
        [](const JXIdList& l) { return l.GetCount() == 0; });
    CheckLoad<ObjectData>(
        input, [](ObjectData& o, JXStream& s) { return o.Resume(s); },
        [](const ObjectData& o) {
            return o.GetId() == 0 && o.GetName().empty() && o.GetReferenceCount() == 0 &&
                   o.GetStoredIdList().GetCount() == 0 && o.GetActiveIds().empty();
        });
    ReadCountedValues(input);
    return 0;
}
