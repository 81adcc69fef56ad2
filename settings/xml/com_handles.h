// Owners for COM interface pointers, BSTRs, VARIANTs and the calling thread's
// COM apartment, so that every early return releases what was obtained.
#pragma once

#include <string>
#include <string_view>
#include <utility>

#include <objbase.h>
#include <oleauto.h>
#include "settings/wide_text.h"

namespace xlr {

template <typename Interface>
class ComRef {
  public:
    ComRef() = default;
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    ComRef(ComRef&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
    ComRef& operator=(ComRef&& other) noexcept {
        if (this != &other) {
            reset();
            pointer_ = std::exchange(other.pointer_, nullptr);
        }
        return *this;
    }
    ~ComRef() { reset(); }

    Interface* get() const { return pointer_; }
    Interface* operator->() const { return pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }
    // Releases what is held and gives the slot to a call that fills it.
    Interface** put() {
        reset();
        return &pointer_;
    }
    void** put_void() { return reinterpret_cast<void**>(put()); }
    void reset() {
        if (pointer_ != nullptr) std::exchange(pointer_, nullptr)->Release();
    }

  private:
    Interface* pointer_ = nullptr;
};

class Bstr {
  public:
    Bstr() = default;
    explicit Bstr(WideStringView text)
        : value_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    ~Bstr() { SysFreeString(value_); }

    BSTR get() const { return value_; }
    BSTR* put() {
        SysFreeString(std::exchange(value_, nullptr));
        return &value_;
    }
    WideString str() const {
        return value_ != nullptr ? WideString(value_, SysStringLen(value_)) : WideString();
    }

  private:
    BSTR value_ = nullptr;
};

class Variant {
  public:
    Variant() { VariantInit(&value_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    ~Variant() { VariantClear(&value_); }

    VARIANT* get() { return &value_; }
    const VARIANT& operator*() const { return value_; }

  private:
    VARIANT value_;
};

// COM for the calling thread in the apartment-threaded model. A thread that
// already has COM, in either model, can still create objects.
class ComApartment {
  public:
    ComApartment() : initialised_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    ~ComApartment() {
        if (SUCCEEDED(initialised_)) CoUninitialize();
    }

    bool Usable() const { return SUCCEEDED(initialised_) || initialised_ == RPC_E_CHANGED_MODE; }

  private:
    HRESULT initialised_;
};

}  // namespace xlr
