// Owning references to COM interfaces and the apartment of one call.
#pragma once

#include <objbase.h>

template <typename T>
class ComRef {
  public:
    ComRef() = default;
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    ~ComRef() {
        if (p_) p_->Release();
    }
    T* operator->() const { return p_; }
    T* get() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    // For the out-parameter of CoCreateInstance / QueryInterface.
    void** out() { return reinterpret_cast<void**>(&p_); }

  private:
    T* p_ = nullptr;
};

// Enters a single-threaded apartment for the lifetime of the object when the thread has none.
class ComApartment {
  public:
    ComApartment() : hr_(CoInitialize(nullptr)) {}
    ~ComApartment() {
        if (SUCCEEDED(hr_)) CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

  private:
    HRESULT hr_;
};
