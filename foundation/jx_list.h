// Growable array list whose buffer lives in signed task memory, as the host's lists do.
// A list of pointers does not own what they point to.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <stdexcept>
#include <type_traits>
#include <unordered_set>
#include <utility>

#include "foundation/signed_memory.h"

// Non-template face of every JXList, for code that only needs the count.
class IJXListWrapper {
  public:
    virtual ~IJXListWrapper() = default;
    virtual int GetCount() const = 0;
};

template <class T>
class JXList : public IJXListWrapper {
  public:
    // growPercent 100 doubles the capacity whenever the list is full.
    explicit JXList(int initialCapacity = 0, int growPercent = 100)
        : factor_(growPercent > 0 ? growPercent / 100.0 : 0.0) {
        if (initialCapacity > 0) Reallocate(initialCapacity);
    }
    JXList(const JXList& other) : factor_(other.factor_) { CopyFrom(other); }
    JXList(JXList&& other) noexcept
        : data_(std::exchange(other.data_, nullptr)),
          factor_(other.factor_),
          capacity_(std::exchange(other.capacity_, 0)),
          count_(std::exchange(other.count_, 0)) {}
    JXList& operator=(const JXList& other) {
        if (this != &other) {
            RemoveAll();
            factor_ = other.factor_;
            CopyFrom(other);
        }
        return *this;
    }
    JXList& operator=(JXList&& other) noexcept {
        if (this != &other) {
            Release();
            data_ = std::exchange(other.data_, nullptr);
            factor_ = other.factor_;
            capacity_ = std::exchange(other.capacity_, 0);
            count_ = std::exchange(other.count_, 0);
        }
        return *this;
    }
    ~JXList() override { Release(); }

    int GetCount() const override { return count_; }
    int GetCapacity() const { return capacity_; }
    bool IsEmpty() const { return count_ == 0; }

    // Access at or past the count grows the list (capacity as on append, at least index + 1)
    // and raises the count to index + 1; the new elements are value-initialised.
    // A negative index throws std::out_of_range.
    T& ElementAt(int index) {
        if (index < 0) throw std::out_of_range("JXList: negative index");
        if (index >= count_) {
            if (index >= capacity_) Grow(index + 1);
            for (int i = count_; i <= index; ++i) new (data_ + i) T();
            count_ = index + 1;
        }
        return data_[index];
    }
    T& operator[](int index) { return ElementAt(index); }
    // A const list cannot grow: an index outside 0..count-1 throws std::out_of_range.
    const T& operator[](int index) const { return At(index); }
    const T& ElementAt(int index) const { return At(index); }
    const T& At(int index) const {
        if (index < 0 || index >= count_) throw std::out_of_range("JXList: index out of range");
        return data_[index];
    }

    // Appends; answers the index of the new element.
    int Add(const T& value) { return Emplace(value); }
    int Add(T&& value) { return Emplace(std::move(value)); }

    // Inserts before the element at index; index == count appends, an index past the count
    // first grows the list to index elements. A negative index throws std::out_of_range.
    void InsertAt(const T& value, int index) {
        if (index < 0) throw std::out_of_range("JXList: negative index");
        if (index > count_) ElementAt(index - 1);
        T copy(value);  // value may live inside this list's buffer
        if (count_ == capacity_) Grow(count_ + 1);
        new (data_ + count_) T();
        for (int i = count_; i > index; --i) data_[i] = std::move(data_[i - 1]);
        data_[index] = std::move(copy);
        ++count_;
    }

    // Removes the element at index and shifts the rest down; false for an index outside the list.
    bool RemoveAt(int index) {
        if (index < 0 || index >= count_) return false;
        for (int i = index; i + 1 < count_; ++i) data_[i] = std::move(data_[i + 1]);
        data_[--count_].~T();
        return true;
    }

    // Makes room for at least `capacity` elements without changing the count.
    void Reserve(int capacity) {
        if (capacity > capacity_) Reallocate(capacity);
    }

    // Empties the list; the buffer is kept for reuse.
    void RemoveAll() {
        for (int i = 0; i < count_; ++i) data_[i].~T();
        count_ = 0;
    }

    T* GetData() { return data_; }
    const T* GetData() const { return data_; }
    T* begin() { return data_; }
    T* end() { return data_ + count_; }
    const T* begin() const { return data_; }
    const T* end() const { return data_ + count_; }

  private:
    template <class U>
    int Emplace(U&& value) {
        if (count_ == capacity_) {
            T copy(std::forward<U>(value));  // value may live inside this list's buffer
            Grow(count_ + 1);
            new (data_ + count_) T(std::move(copy));
        } else {
            new (data_ + count_) T(std::forward<U>(value));
        }
        return count_++;
    }

    // Capacity rule: int((factor + 1) * capacity + 0.999), at least capacity + 1, and at
    // least `needed`.
    void Grow(int needed) {
        double proposed = (factor_ + 1.0) * capacity_ + 0.999;
        long long next = proposed >= 2147483647.0 ? 2147483647LL : static_cast<long long>(proposed);
        if (next < static_cast<long long>(capacity_) + 1) next = static_cast<long long>(capacity_) + 1;
        if (next < needed) next = needed;
        Reallocate(static_cast<int>(next));
    }

    void Reallocate(int capacity) {
        if (static_cast<std::size_t>(capacity) > SIZE_MAX / sizeof(T)) throw std::bad_alloc();
        T* fresh = static_cast<T*>(SignedMemAlloc(static_cast<std::size_t>(capacity) * sizeof(T)));
        if (!fresh) throw std::bad_alloc();
        for (int i = 0; i < count_; ++i) {
            new (fresh + i) T(std::move(data_[i]));
            data_[i].~T();
        }
        SignedMemFree(data_);
        data_ = fresh;
        capacity_ = capacity;
    }

    void CopyFrom(const JXList& other) {
        if (other.count_ > capacity_) Reallocate(other.count_);
        for (int i = 0; i < other.count_; ++i) {
            new (data_ + i) T(other.data_[i]);
            count_ = i + 1;
        }
    }

    void Release() {
        RemoveAll();
        SignedMemFree(data_);
        data_ = nullptr;
        capacity_ = 0;
    }

    T* data_ = nullptr;
    double factor_ = 1.0;
    int capacity_ = 0;
    int count_ = 0;
};

// A geometry reference: host entity id and the kind word telling what the id names.
struct JXReference {
    std::int32_t id = -1;
    std::uint32_t kind = 0;

    friend bool operator==(const JXReference&, const JXReference&) = default;
};

// Kind bits of a JXReference.
inline constexpr std::uint32_t kJXReferenceVertex = 0x8;
inline constexpr std::uint32_t kJXReferenceFace = 0x20;
inline constexpr std::uint32_t kJXReferenceEdge = 0x4000;
// These two name mesh entities; they are resolved through the mesh, not the geometry.
inline constexpr std::uint32_t kJXReferenceElementFaces = 0x100000;
inline constexpr std::uint32_t kJXReferenceElements = 0x200000;

class JXStream;

// References without duplicates, in the order first added; capacity grows by 10. A hash set
// of the references, kept in step with the list, answers whether one is present, so building
// a list of n references costs n look-ups rather than n * n comparisons.
class JXReferenceList {
  public:
    JXReferenceList() = default;
    JXReferenceList(const JXReferenceList&) = default;
    JXReferenceList& operator=(const JXReferenceList&) = default;
    JXReferenceList(JXReferenceList&& other) noexcept
        : list_(std::move(other.list_)), present_(std::exchange(other.present_, {})) {}
    JXReferenceList& operator=(JXReferenceList&& other) noexcept {
        list_ = std::move(other.list_);
        present_ = std::exchange(other.present_, {});
        return *this;
    }

    int GetCount() const { return list_.GetCount(); }
    // The reference at index; {-1, 0} outside the list.
    JXReference GetAt(int index) const;
    // Adds the reference unless an equal one is present; answers whether it was added.
    bool Add(const JXReference& reference);
    bool Add(std::int32_t id, std::uint32_t kind) { return Add(JXReference{id, kind}); }
    bool Contains(const JXReference& reference) const;
    void RemoveAll();
    // Makes room for `count` references in all, for a caller that adds a known number at once
    // (growing by 10 at a time would copy the list over and over).
    void Reserve(int count);

    const JXReference* begin() const { return list_.begin(); }
    const JXReference* end() const { return list_.end(); }

    // Stream form: uint32 count, then per reference int32 id and uint32 kind.
    bool Save(JXStream& stream) const;
    // Replaces the content; on a failed read the list is left empty and the answer is false.
    // Repeated references of the stream are kept once, at their first place.
    bool Load(JXStream& stream);

  private:
    static std::uint64_t Key(const JXReference& r) {
        return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(r.id)) << 32) | r.kind;
    }

    JXList<JXReference> list_{0, 0};
    std::unordered_set<std::uint64_t> present_;
};

// List of 32-bit ids.
class JXIdList {
  public:
    JXIdList() = default;

    int GetCount() const { return list_.GetCount(); }
    // Grows like JXList::ElementAt; a negative index throws std::out_of_range.
    std::int32_t& operator[](int index) { return list_.ElementAt(index); }
    // A const list throws std::out_of_range outside 0..count-1.
    std::int32_t operator[](int index) const { return list_.At(index); }
    std::int32_t GetAt(int index) const { return list_.At(index); }
    int Add(std::int32_t id) { return list_.Add(id); }
    bool RemoveAt(int index) { return list_.RemoveAt(index); }
    void RemoveAll() { list_.RemoveAll(); }
    bool Contains(std::int32_t id) const;

    const std::int32_t* begin() const { return list_.begin(); }
    const std::int32_t* end() const { return list_.end(); }

    friend bool operator==(const JXIdList& a, const JXIdList& b);

    // Stream form: uint32 count, then the int32 ids.
    bool Save(JXStream& stream) const;
    // Replaces the content; on a failed read the list is left empty and the answer is false.
    bool Load(JXStream& stream);

  private:
    JXList<std::int32_t> list_{0, 100};
};
