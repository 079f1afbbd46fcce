// Windows only: the traits of every Win32 handle that ScopedHandle owns.
#pragma once

#include "base/ScopedHandle.h"

#include <windows.h>
#include <oleauto.h>
#include <userenv.h>

namespace olvado::platform {

// Kernel objects that answer nullptr on failure (processes, threads, tokens).
// The one place a kernel handle is closed; false when CloseHandle failed.
struct HandleTraits {
    using handle_type = HANDLE;
    static HANDLE Invalid() { return nullptr; }
    static bool Close(HANDLE h) { return CloseHandle(h) != FALSE; }
};
using Handle = ScopedHandle<HandleTraits>;

// A file from CreateFile, which answers INVALID_HANDLE_VALUE on failure.
struct ArchivoTraits {
    using handle_type = HANDLE;
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static bool Close(HANDLE h) { return HandleTraits::Close(h); }
};

// A FindFirstFile search.
struct BusquedaTraits {
    using handle_type = HANDLE;
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { FindClose(h); }
};

// A SID from AllocateAndInitializeSid.
struct SidTraits {
    using handle_type = PSID;
    static PSID Invalid() { return nullptr; }
    static void Close(PSID s) { FreeSid(s); }
};

// The screen's device context from GetDC(nullptr).
struct PantallaDCTraits {
    using handle_type = HDC;
    static HDC Invalid() { return nullptr; }
    static void Close(HDC dc) { ReleaseDC(nullptr, dc); }
};

// A COM string.
struct BstrTraits {
    using handle_type = BSTR;
    static BSTR Invalid() { return nullptr; }
    static void Close(BSTR b) { SysFreeString(b); }
};

// An account's environment block from CreateEnvironmentBlock.
struct BloqueEntornoTraits {
    using handle_type = void*;
    static void* Invalid() { return nullptr; }
    static void Close(void* b) { DestroyEnvironmentBlock(b); }
};
using BloqueEntorno = ScopedHandle<BloqueEntornoTraits>;

// Owns one COM interface pointer: released once, never copied.
template <typename T> class Com {
public:
    Com() = default;
    T* operator->() const { return p_; }
    T** Dir() { return &p_; }
    T* Get() const { return p_; }
    ~Com() {
        if (p_)
            p_->Release();
    }
    Com(const Com&) = delete;
    Com& operator=(const Com&) = delete;

private:
    T* p_ = nullptr;
};

} // namespace olvado::platform
