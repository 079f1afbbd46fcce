// Owns one native handle (HANDLE, HKEY, SQLHANDLE, a descriptor, an X11
// display) and releases it on every path. Traits give the handle type, its
// invalid value and the one place where it is closed:
//
//   struct FdTraits {
//       using handle_type = int;
//       static int Invalid() { return -1; }
//       static void Close(int fd) { ::close(fd); }
//   };
//   using ScopedFd = ScopedHandle<FdTraits>;
#pragma once

#include <utility>

namespace olvado {

template <typename Traits> class ScopedHandle {
public:
    using handle_type = typename Traits::handle_type;

    ScopedHandle() : handle_(Traits::Invalid()) {}
    explicit ScopedHandle(handle_type h) : handle_(h) {}
    ~ScopedHandle() { Reset(); }

    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
    ScopedHandle(ScopedHandle&& other) noexcept : handle_(other.Release()) {}
    ScopedHandle& operator=(ScopedHandle&& other) noexcept {
        if (this != &other)
            Reset(other.Release());
        return *this;
    }

    handle_type Get() const { return handle_; }
    bool Valido() const { return handle_ != Traits::Invalid(); }
    explicit operator bool() const { return Valido(); }

    handle_type Release() { return std::exchange(handle_, Traits::Invalid()); }
    void Reset(handle_type h = Traits::Invalid()) {
        if (Valido())
            Traits::Close(handle_);
        handle_ = h;
    }

private:
    handle_type handle_;
};

} // namespace olvado
