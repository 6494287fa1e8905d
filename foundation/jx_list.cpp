// The reference list kept free of repeats by a set beside it, and the streaming of reference and id lists.
#include "foundation/jx_list.h"

#include <algorithm>

#include "foundation/jx_stream.h"

JXReference JXReferenceList::GetAt(int index) const {
    if (index < 0 || index >= list_.GetCount()) return JXReference{-1, 0};
    return list_.At(index);
}

bool JXReferenceList::Contains(const JXReference& reference) const {
    return present_.count(Key(reference)) != 0;
}

bool JXReferenceList::Add(const JXReference& reference) {
    if (!present_.insert(Key(reference)).second) return false;
    try {
        if (list_.GetCount() == list_.GetCapacity()) list_.Reserve(list_.GetCapacity() + 10);
        list_.Add(reference);
    } catch (...) {
        present_.erase(Key(reference));  // the set never answers for a reference the list lacks
        throw;
    }
    return true;
}

void JXReferenceList::RemoveAll() {
    list_.RemoveAll();
    present_.clear();
}

void JXReferenceList::Reserve(int count) {
    if (count <= list_.GetCapacity()) return;
    list_.Reserve(count);
    present_.reserve(static_cast<std::size_t>(count));
}

bool JXReferenceList::Save(JXStream& stream) const {
    bool ok = stream.WriteUInt32(static_cast<std::uint32_t>(list_.GetCount()));
    for (const JXReference& r : list_) ok = ok && stream.WriteInt32(r.id) && stream.WriteUInt32(r.kind);
    return ok;
}

bool JXReferenceList::Load(JXStream& stream) {
    RemoveAll();
    std::uint32_t count = 0;
    if (!stream.ReadCount(count, 8)) return false;
    // The count was checked against the bytes left, so reserving it up front is safe.
    Reserve(static_cast<int>(count));
    for (std::uint32_t i = 0; i < count; ++i) {
        JXReference r;
        if (!stream.ReadInt32(&r.id) || !stream.ReadUInt32(&r.kind)) {
            RemoveAll();
            return false;
        }
        Add(r);
    }
    return true;
}

bool JXIdList::Contains(std::int32_t id) const {
    return std::find(list_.begin(), list_.end(), id) != list_.end();
}

bool operator==(const JXIdList& a, const JXIdList& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end());
}

bool JXIdList::Save(JXStream& stream) const {
    bool ok = stream.WriteUInt32(static_cast<std::uint32_t>(list_.GetCount()));
    for (std::int32_t id : list_) ok = ok && stream.WriteInt32(id);
    return ok;
}

bool JXIdList::Load(JXStream& stream) {
    list_.RemoveAll();
    std::uint32_t count = 0;
    if (!stream.ReadCount(count, 4)) return false;
    list_.Reserve(static_cast<int>(count));
    for (std::uint32_t i = 0; i < count; ++i) {
        std::int32_t id = 0;
        if (!stream.ReadInt32(&id)) {
            list_.RemoveAll();
            return false;
        }
        list_.Add(id);
    }
    return true;
}
