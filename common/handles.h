// Owner types for the handle kinds the common library opens: each closes once and keeps GetLastError.
#pragma once

#include <windows.h>

namespace vrk {

template <typename Traits>
class UniqueHandle {
public:
    using Type = typename Traits::Type;
    UniqueHandle() = default;
    explicit UniqueHandle(Type h) : h_(h) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { reset(); }

    Type get() const { return h_; }
    bool valid() const { return h_ != Traits::empty(); }
    // For functions that hand out a new handle through a pointer.
    Type* put() {
        reset();
        return &h_;
    }
    void reset(Type h = Traits::empty()) {
        if (h_ != Traits::empty()) {
            const DWORD error = GetLastError();
            Traits::close(h_);
            SetLastError(error);
        }
        h_ = h;
    }
    Type release() {
        Type h = h_;
        h_ = Traits::empty();
        return h;
    }

private:
    Type h_ = Traits::empty();
};

struct FileHandleTraits {
    using Type = HANDLE;
    static Type empty() { return INVALID_HANDLE_VALUE; }
    static void close(Type h) { CloseHandle(h); }
};
struct FindHandleTraits {
    using Type = HANDLE;
    static Type empty() { return INVALID_HANDLE_VALUE; }
    static void close(Type h) { FindClose(h); }
};
struct RegKeyTraits {
    using Type = HKEY;
    static Type empty() { return nullptr; }
    static void close(Type h) { RegCloseKey(h); }
};
struct ServiceHandleTraits {
    using Type = SC_HANDLE;
    static Type empty() { return nullptr; }
    static void close(Type h) { CloseServiceHandle(h); }
};
struct HeapBlockTraits {
    using Type = void*;
    static Type empty() { return nullptr; }
    static void close(Type p) { HeapFree(GetProcessHeap(), 0, p); }
};

using FileHandle = UniqueHandle<FileHandleTraits>;
using FindHandle = UniqueHandle<FindHandleTraits>;
using RegKey = UniqueHandle<RegKeyTraits>;
using ServiceHandle = UniqueHandle<ServiceHandleTraits>;
using HeapBlock = UniqueHandle<HeapBlockTraits>;

}  // namespace vrk
