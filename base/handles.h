// Move-only owners of system handles: the generic owner and the kinds the
// layers above the user interface need (kernel objects, registry keys,
// libraries, DDE instances, icons). Copying is deleted; each owner releases
// its handle with the one call that kind needs. Owners of drawing objects
// live in ui/gdi.h.
#pragma once
#include <windows.h>
#include <ddeml.h>

#include <utility>

namespace base {

template <typename Traits>
class Owned {
 public:
  using Handle = typename Traits::Handle;
  Owned() = default;
  explicit Owned(Handle h) : h_(h) {}
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;
  Owned(Owned&& o) noexcept : h_(std::exchange(o.h_, Traits::Null())) {}
  Owned& operator=(Owned&& o) noexcept {
    if (this != &o) reset(std::exchange(o.h_, Traits::Null()));
    return *this;
  }
  ~Owned() { reset(); }

  Handle get() const { return h_; }
  explicit operator bool() const { return Traits::Valid(h_); }
  Handle release() { return std::exchange(h_, Traits::Null()); }
  void reset(Handle h = Traits::Null()) {
    if (Traits::Valid(h_)) Traits::Close(h_);
    h_ = h;
  }

 private:
  Handle h_ = Traits::Null();
};

template <typename H, auto CloseFn>
struct PtrTraits {
  using Handle = H;
  static Handle Null() { return nullptr; }
  static bool Valid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { CloseFn(h); }
};

struct KernelTraits {  // process, token, thread, snapshot: never INVALID_HANDLE_VALUE
  using Handle = HANDLE;
  static Handle Null() { return nullptr; }
  static bool Valid(Handle h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Close(Handle h) { CloseHandle(h); }
};

struct DdeInstanceTraits {
  using Handle = DWORD;
  static Handle Null() { return 0; }
  static bool Valid(Handle h) { return h != 0; }
  static void Close(Handle h) { DdeUninitialize(h); }
};

inline void CloseKey(HKEY k) { RegCloseKey(k); }

using UniqueHandle = Owned<KernelTraits>;
using UniqueKey = Owned<PtrTraits<HKEY, CloseKey>>;
using UniqueLibrary = Owned<PtrTraits<HMODULE, FreeLibrary>>;
using UniqueDdeInstance = Owned<DdeInstanceTraits>;
// Icons are user objects, not drawing objects: the file facts below the
// user interface carry them.
using UniqueIcon = Owned<PtrTraits<HICON, DestroyIcon>>;

// A handle someone else owns, named as such in the type: it is never
// closed through this view.
template <typename H>
class Borrowed {
 public:
  Borrowed() = default;
  Borrowed(H h) : h_(h) {}  // NOLINT: a view converts from the raw handle
  H get() const { return h_; }
  explicit operator bool() const { return h_ != H{}; }

 private:
  H h_{};
};

}  // namespace base
