// Move-only owners for Win32 handles and COM pointers. Copying is deleted so a
// handle can never be closed twice.
#pragma once

#include <windows.h>

#include <oleauto.h>

#include <string_view>
#include <utility>

namespace jumpnest {

template <typename T, typename Traits>
class Unique {
public:
    Unique() noexcept = default;
    explicit Unique(T value) noexcept : value_(value) {}
    ~Unique() { reset(); }

    Unique(const Unique&) = delete;
    Unique& operator=(const Unique&) = delete;
    Unique(Unique&& other) noexcept : value_(other.release()) {}
    Unique& operator=(Unique&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }

    T get() const noexcept { return value_; }
    explicit operator bool() const noexcept { return Traits::IsValid(value_); }

    T release() noexcept { return std::exchange(value_, Traits::Invalid()); }
    void reset(T value = Traits::Invalid()) noexcept {
        T old = std::exchange(value_, value);
        if (Traits::IsValid(old)) Traits::Close(old);
    }

private:
    T value_ = Traits::Invalid();
};

// Most kernel objects use NULL for "none"; CreateFile is the odd one out with
// INVALID_HANDLE_VALUE, so it gets its own traits.
struct KernelHandleTraits {
    static HANDLE Invalid() noexcept { return nullptr; }
    static bool IsValid(HANDLE h) noexcept { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) noexcept { ::CloseHandle(h); }
};
struct FileHandleTraits {
    static HANDLE Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static bool IsValid(HANDLE h) noexcept { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) noexcept { ::CloseHandle(h); }
};

template <typename T, auto CloseFn>
struct NullTraits {
    static T Invalid() noexcept { return nullptr; }
    static bool IsValid(T h) noexcept { return h != nullptr; }
    static void Close(T h) noexcept { CloseFn(h); }
};

using UniqueHandle = Unique<HANDLE, KernelHandleTraits>;
using UniqueFile = Unique<HANDLE, FileHandleTraits>;
using UniqueModule = Unique<HMODULE, NullTraits<HMODULE, ::FreeLibrary>>;
using UniqueHook = Unique<HHOOK, NullTraits<HHOOK, ::UnhookWindowsHookEx>>;
using UniqueIcon = Unique<HICON, NullTraits<HICON, ::DestroyIcon>>;
using UniqueBitmap = Unique<HBITMAP, NullTraits<HBITMAP, ::DeleteObject>>;
using UniqueFont = Unique<HFONT, NullTraits<HFONT, ::DeleteObject>>;
using UniqueKey = Unique<HKEY, NullTraits<HKEY, ::RegCloseKey>>;
using UniqueMenu = Unique<HMENU, NullTraits<HMENU, ::DestroyMenu>>;
using UniqueBrush = Unique<HBRUSH, NullTraits<HBRUSH, ::DeleteObject>>;
using UniqueAccelerators = Unique<HACCEL, NullTraits<HACCEL, ::DestroyAcceleratorTable>>;
using UniqueLocal = Unique<HLOCAL, NullTraits<HLOCAL, ::LocalFree>>;

// A minimal COM smart pointer: owns one reference.
template <typename T>
class ComPtr {
public:
    ComPtr() noexcept = default;
    ~ComPtr() { reset(); }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : ptr_(std::exchange(other.ptr_, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            reset();
            ptr_ = std::exchange(other.ptr_, nullptr);
        }
        return *this;
    }

    T* get() const noexcept { return ptr_; }
    T* operator->() const noexcept { return ptr_; }
    explicit operator bool() const noexcept { return ptr_ != nullptr; }

    // For out-parameters of factory functions: releases what is held first.
    T** put() noexcept {
        reset();
        return &ptr_;
    }
    void** put_void() noexcept { return reinterpret_cast<void**>(put()); }

    void reset() noexcept {
        if (ptr_) std::exchange(ptr_, nullptr)->Release();
    }

private:
    T* ptr_ = nullptr;
};

// A COM string owned, for the calls that take text.
class Bstr {
public:
    explicit Bstr(std::wstring_view text)
        : text_(::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    ~Bstr() { ::SysFreeString(text_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    BSTR get() const { return text_; }
    // As a VARIANT that borrows it: good while this lives.
    VARIANT variant() const {
        VARIANT value{};
        value.vt = VT_BSTR;
        value.bstrVal = text_;
        return value;
    }

private:
    BSTR text_;
};

// Makes sure COM is initialised on the calling thread while it lives.
// A thread that has COM already keeps it as it was: an apartment-threaded
// one has its count raised and lowered again, a multithreaded one is left
// alone (the shell objects used here work in either).
class ComApartment {
public:
    ComApartment() noexcept : result_(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComApartment() {
        // S_FALSE counts too: every successful call needs its own uninitialise.
        if (SUCCEEDED(result_)) ::CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

    // False only when COM could not be had at all.
    bool ok() const noexcept { return SUCCEEDED(result_) || result_ == RPC_E_CHANGED_MODE; }

private:
    HRESULT result_;
};

}  // namespace jumpnest
