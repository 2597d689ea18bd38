// Owners of every kind of handle the programs hold: each releases what it holds exactly once, so
// no path can leak a handle on an early return. Pick the deleter and what counts as "nothing held".
#pragma once

#include <windows.h>

#include <utility>

// Null holds nothing: GDI objects, icons, registry keys, device contexts.
struct NullIsEmpty {
    template <typename T>
    static T Nothing() {
        return T();
    }
    template <typename T>
    static T Taken(T handle) {
        return handle;
    }
};

// INVALID_HANDLE_VALUE holds nothing: what CreateFile and FindFirstFile return on failure.
struct InvalidIsEmpty {
    template <typename T>
    static T Nothing() {
        return INVALID_HANDLE_VALUE;
    }
    template <typename T>
    static T Taken(T handle) {
        return handle;
    }
};

// Kernel objects: the creating calls fail with null or with INVALID_HANDLE_VALUE, and both are
// held as null.
struct NullOrInvalidIsEmpty {
    template <typename T>
    static T Nothing() {
        return nullptr;
    }
    template <typename T>
    static T Taken(T handle) {
        return handle == INVALID_HANDLE_VALUE ? nullptr : handle;
    }
};

template <typename T, typename Deleter, typename Empty = NullIsEmpty>
class Owned {
  public:
    Owned() = default;
    explicit Owned(T handle) : handle_(Empty::Taken(handle)) {}
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    Owned(Owned&& other) noexcept : handle_(other.release()) {}
    Owned& operator=(Owned&& other) noexcept {
        reset(other.release());
        return *this;
    }
    ~Owned() { reset(); }

    T get() const { return handle_; }
    explicit operator bool() const { return handle_ != Nothing(); }
    // For the out-parameter of the creating call; drops what was held.
    T* out() {
        reset();
        return &handle_;
    }
    T release() { return std::exchange(handle_, Nothing()); }
    void reset(T handle) {
        if (handle_ != Nothing()) Deleter()(handle_);
        handle_ = Empty::Taken(handle);
    }
    void reset() { reset(Nothing()); }

  private:
    static T Nothing() { return Empty::template Nothing<T>(); }
    T handle_ = Nothing();
};

struct KernelObjectCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
struct FindCloser {
    void operator()(HANDLE find) const { FindClose(find); }
};
struct RegistryKeyCloser {
    void operator()(HKEY key) const { RegCloseKey(key); }
};
struct IconDestroyer {
    void operator()(HICON icon) const { DestroyIcon(icon); }
};

using KernelHandle = Owned<HANDLE, KernelObjectCloser, NullOrInvalidIsEmpty>;  // process, event...
using FileHandle = Owned<HANDLE, KernelObjectCloser, InvalidIsEmpty>;          // CreateFile
using FindHandle = Owned<HANDLE, FindCloser, InvalidIsEmpty>;                  // FindFirstFile
using RegistryKey = Owned<HKEY, RegistryKeyCloser>;
using OwnedIcon = Owned<HICON, IconDestroyer>;
