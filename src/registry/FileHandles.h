// Owned handles of the file system: a directory listing (closed with FindClose) and a file or
// folder handle (closed with CloseHandle). Move-only, so a handle is never closed twice.
#pragma once

#include <windows.h>

namespace vsc {

template <typename Traits>
class UniqueHandleOf {
public:
    UniqueHandleOf() = default;
    explicit UniqueHandleOf(HANDLE h) : h_(h) {}
    UniqueHandleOf(UniqueHandleOf&& o) noexcept : h_(o.release()) {}
    UniqueHandleOf& operator=(UniqueHandleOf&& o) noexcept {
        if (this != &o) reset(o.release());
        return *this;
    }
    UniqueHandleOf(const UniqueHandleOf&) = delete;
    UniqueHandleOf& operator=(const UniqueHandleOf&) = delete;
    ~UniqueHandleOf() { reset(); }

    HANDLE get() const { return h_; }
    explicit operator bool() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }
    bool valid() const { return static_cast<bool>(*this); }
    HANDLE release() {
        HANDLE h = h_;
        h_ = INVALID_HANDLE_VALUE;
        return h;
    }
    void reset(HANDLE h = INVALID_HANDLE_VALUE) {
        if (*this) Traits::Close(h_);
        h_ = h;
    }

private:
    HANDLE h_ = INVALID_HANDLE_VALUE;
};

struct FindCloseTraits {
    static void Close(HANDLE h) { FindClose(h); }
};
struct CloseHandleTraits {
    static void Close(HANDLE h) { CloseHandle(h); }
};

using UniqueFind = UniqueHandleOf<FindCloseTraits>;
using UniqueFile = UniqueHandleOf<CloseHandleTraits>;

}  // namespace vsc
