// The engine's 1-based lists. A new list holds one zero-filled placeholder element, which the first
// registration reuses; elements are never removed, so an index stays valid for the whole run.
// Elements live in a deque: a reference to one survives later registrations.
#pragma once

#include <windows.h>

#include <deque>

template <typename T>
class SkinList {
  public:
    SkinList() : items_(1) {}

    int Count() const { return static_cast<int>(items_.size()); }
    // Element `index` (1-based), or nullptr outside 1 .. Count().
    T* At(int index) { return index >= 1 && index <= Count() ? &items_[index - 1] : nullptr; }
    const T* At(int index) const {
        return index >= 1 && index <= Count() ? &items_[index - 1] : nullptr;
    }
    T& operator[](int index) { return items_[index - 1]; }
    const T& operator[](int index) const { return items_[index - 1]; }

    // Index of the first element whose `hwnd` is `hwnd`; 0 when none. The placeholder's null handle
    // never matches.
    int Find(HWND hwnd) const {
        if (!hwnd) return 0;
        for (int i = 1; i <= Count(); ++i)
            if ((*this)[i].hwnd == hwnd) return i;
        return 0;
    }

    // The placeholder rule: reuse the single element when its handle is 0, else grow by one
    // zero-filled element. Returns the index of the element, whose `hwnd` is then set.
    int Add(HWND hwnd) {
        if (!(items_.size() == 1 && !items_[0].hwnd)) items_.emplace_back();
        items_.back().hwnd = hwnd;
        return Count();
    }

    // For lists that are rebuilt from nothing (the caption buttons).
    void Clear() { items_.clear(); }
    T& Append() {
        items_.emplace_back();
        return items_.back();
    }

  private:
    std::deque<T> items_;
};
