// Owner of a kernel handle (a file, process, pipe or event): closed exactly once. Both failure
// values of the creating calls, null and INVALID_HANDLE_VALUE, are held as empty.
#pragma once

#include <windows.h>

#include <utility>

class KernelHandle {
  public:
    KernelHandle() = default;
    explicit KernelHandle(HANDLE handle) { reset(handle); }
    KernelHandle(const KernelHandle&) = delete;
    KernelHandle& operator=(const KernelHandle&) = delete;
    KernelHandle(KernelHandle&& other) noexcept : handle_(other.release()) {}
    KernelHandle& operator=(KernelHandle&& other) noexcept {
        reset(other.release());
        return *this;
    }
    ~KernelHandle() { reset(); }

    HANDLE get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    // For the out-parameter of the creating call; drops what was held.
    HANDLE* out() {
        reset();
        return &handle_;
    }
    HANDLE release() { return std::exchange(handle_, nullptr); }
    void reset(HANDLE handle = nullptr) {
        if (handle_) CloseHandle(handle_);
        handle_ = handle == INVALID_HANDLE_VALUE ? nullptr : handle;
    }

  private:
    HANDLE handle_ = nullptr;
};
