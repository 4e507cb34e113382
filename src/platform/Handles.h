// Owned handles of the system, each closed by its own type and nowhere else: file and folder
// handles, directory listings, threads, events and mutexes, registry keys, memory the system
// allocated for a result (LocalFree, GlobalFree), COM interface pointers, and COM initialised on
// a thread. Move-only, so a handle is never closed twice.
#pragma once

#include <windows.h>

namespace vsc {

// One owned handle of type Handle; Traits says which value is empty, which values are valid, and
// how a valid one is closed.
template <typename Handle, typename Traits>
class UniqueOf {
public:
    UniqueOf() = default;
    explicit UniqueOf(Handle h) : h_(h) {}
    UniqueOf(UniqueOf&& o) noexcept : h_(o.release()) {}
    UniqueOf& operator=(UniqueOf&& o) noexcept {
        if (this != &o) reset(o.release());
        return *this;
    }
    UniqueOf(const UniqueOf&) = delete;
    UniqueOf& operator=(const UniqueOf&) = delete;
    ~UniqueOf() { reset(); }

    Handle get() const { return h_; }
    explicit operator bool() const { return Traits::Valid(h_); }
    bool valid() const { return Traits::Valid(h_); }
    Handle release() {
        Handle h = h_;
        h_ = Traits::Empty();
        return h;
    }
    // Closes the handle held (unless it is the new one) and holds the new one.
    void reset(Handle h = Traits::Empty()) {
        if (Traits::Valid(h_) && h_ != h) Traits::Close(h_);
        h_ = h;
    }
    // For the functions that return a handle through an out parameter; closes the one held before.
    Handle* put() {
        reset();
        return &h_;
    }

private:
    Handle h_ = Traits::Empty();
};

// A handle that null means none of.
template <typename Handle>
struct NullIsEmpty {
    static Handle Empty() { return nullptr; }
    static bool Valid(Handle h) { return h != nullptr; }
};
// ... closed by the system function close (DestroyMenu, ImageList_Destroy, LocalFree, ...).
template <typename Handle, auto close>
struct NullHandleTraits : NullIsEmpty<Handle> {
    static void Close(Handle h) { close(h); }
};

// Kernel handles: both INVALID_HANDLE_VALUE and null mean none.
struct KernelHandleTraits {
    static HANDLE Empty() { return INVALID_HANDLE_VALUE; }
    static bool Valid(HANDLE h) { return h != INVALID_HANDLE_VALUE && h != nullptr; }
};
struct FindCloseTraits : KernelHandleTraits {
    static void Close(HANDLE h) { FindClose(h); }
};
struct CloseHandleTraits : KernelHandleTraits {
    static void Close(HANDLE h) { CloseHandle(h); }
};
// Registry keys. A predefined root handle is never closed: opening a root with an empty sub-key
// may hand one back (Wine does), and it is not ours to close. The roots are 0x80000000 and up,
// sign-extended: above every handle the system opens.
struct RegCloseKeyTraits {
    static HKEY Empty() { return nullptr; }
    static bool Valid(HKEY key) { return key != nullptr; }
    static void Close(HKEY key) {
        if (reinterpret_cast<ULONG_PTR>(key) < reinterpret_cast<ULONG_PTR>(HKEY_CLASSES_ROOT)) RegCloseKey(key);
    }
};

using UniqueFind = UniqueOf<HANDLE, FindCloseTraits>;
using UniqueFile = UniqueOf<HANDLE, CloseHandleTraits>;
// Threads, events, mutexes, access tokens: every kernel object closed with CloseHandle.
using UniqueHandle = UniqueOf<HANDLE, CloseHandleTraits>;
using UniqueThread = UniqueHandle;
using UniqueEvent = UniqueHandle;
using UniqueMutex = UniqueHandle;
using UniqueKey = UniqueOf<HKEY, RegCloseKeyTraits>;

// Memory the system allocated with LocalAlloc for a result (FormatMessage's text, a SID's text).
template <typename T>
using UniqueLocal = UniqueOf<T*, NullHandleTraits<T*, &LocalFree>>;
// Global memory (GlobalAlloc) until someone else takes it: release() once the clipboard owns it.
using UniqueGlobal = UniqueOf<HGLOBAL, NullHandleTraits<HGLOBAL, &GlobalFree>>;

// One reference to a COM object, released once when the holder goes. Move-only; the constructor
// and reset adopt a reference the caller already holds (no AddRef). For the functions that hand an
// interface back through void** (CoCreateInstance, QueryInterface), pass reinterpret_cast<void**>
// of put().
template <typename T>
struct ComReleaseTraits : NullIsEmpty<T*> {
    static void Close(T* p) { p->Release(); }
};
template <typename T>
class ComPtr : public UniqueOf<T*, ComReleaseTraits<T>> {
public:
    using UniqueOf<T*, ComReleaseTraits<T>>::UniqueOf;
    T* operator->() const { return this->get(); }
};

// COM initialised on the calling thread (single-threaded apartment) for the life of the object.
// A thread already in the other kind of apartment keeps it; only a successful initialisation is
// undone, on the same thread.
class ComApartment {
public:
    ComApartment();
    ~ComApartment();
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    long hr_;
};

}  // namespace vsc
