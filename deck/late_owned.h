// Ownership of an object whose class is only declared where the owner is: the deleter is
// chosen where the object is made (and its class complete), so the owner's destructor needs
// no definition of the class. The feeder holds its wrappers and constraint table this way.
#pragma once

#include <utility>

template <class T>
class LateOwned {
  public:
    LateOwned() = default;
    LateOwned(LateOwned&& o) noexcept : p_(std::exchange(o.p_, nullptr)), destroy_(o.destroy_) {}
    LateOwned& operator=(LateOwned&& o) noexcept {
        if (this != &o) {
            Reset();
            p_ = std::exchange(o.p_, nullptr);
            destroy_ = o.destroy_;
        }
        return *this;
    }
    LateOwned(const LateOwned&) = delete;
    LateOwned& operator=(const LateOwned&) = delete;
    ~LateOwned() { Reset(); }

    template <class... Args>
    static LateOwned Make(Args&&... args) {
        LateOwned owned;
        owned.p_ = new T(std::forward<Args>(args)...);
        owned.destroy_ = [](T* p) { delete p; };
        return owned;
    }

    void Reset() {
        if (T* p = std::exchange(p_, nullptr)) destroy_(p);
    }
    T* Get() const { return p_; }
    T* operator->() const { return p_; }
    T& operator*() const { return *p_; }
    explicit operator bool() const { return p_ != nullptr; }

  private:
    T* p_ = nullptr;
    void (*destroy_)(T*) = nullptr;
};
