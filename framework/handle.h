#pragma once
/// Owning handle types: one template with traits for the invalid value and the close call,
/// and scope objects for paired calls. Every handle the runtime acquires lives in one of
/// these, so every path releases it.

#include <windows.h>
#include <wininet.h>

#include <utility>

namespace cv {

template <class Traits> class UniqueHandle {
  public:
    using Handle = typename Traits::Handle;

    UniqueHandle() noexcept : handle_(Traits::invalid()) {}
    explicit UniqueHandle(Handle h) noexcept : handle_(h) {}
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { reset(); }

    Handle get() const noexcept { return handle_; }
    bool valid() const noexcept { return handle_ != Traits::invalid(); }
    explicit operator bool() const noexcept { return valid(); }

    /// The address to pass to a call that returns a new handle through a pointer
    /// (RegOpenKeyExA, say); closes the handle held before.
    Handle* receive() noexcept {
        reset();
        return &handle_;
    }

    /// Gives up ownership without closing.
    Handle release() noexcept { return std::exchange(handle_, Traits::invalid()); }

    /// Closes the current handle (if any) and takes `h`.
    void reset(Handle h = Traits::invalid()) noexcept {
        Handle old = std::exchange(handle_, h);
        if (old != Traits::invalid())
            Traits::close(old);
    }

  private:
    Handle handle_;
};

struct KernelHandleTraits {
    using Handle = HANDLE;
    static Handle invalid() noexcept { return nullptr; }
    static void close(Handle h) noexcept { ::CloseHandle(h); }
};

/// CreateFile and FindFirstFile report failure with INVALID_HANDLE_VALUE, not null.
struct FileHandleTraits {
    using Handle = HANDLE;
    static Handle invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void close(Handle h) noexcept { ::CloseHandle(h); }
};

struct FindHandleTraits {
    using Handle = HANDLE;
    static Handle invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void close(Handle h) noexcept { ::FindClose(h); }
};

struct RegKeyTraits {
    using Handle = HKEY;
    static Handle invalid() noexcept { return nullptr; }
    static void close(Handle h) noexcept { ::RegCloseKey(h); }
};

struct LibraryTraits {
    using Handle = HMODULE;
    static Handle invalid() noexcept { return nullptr; }
    static void close(Handle h) noexcept { ::FreeLibrary(h); }
};

template <class T> struct GdiObjectTraits {
    using Handle = T;
    static Handle invalid() noexcept { return nullptr; }
    static void close(Handle h) noexcept { ::DeleteObject(h); }
};

struct IconTraits {
    using Handle = HICON;
    static Handle invalid() noexcept { return nullptr; }
    static void close(Handle h) noexcept { ::DestroyIcon(h); }
};

struct MenuTraits {
    using Handle = HMENU;
    static Handle invalid() noexcept { return nullptr; }
    static void close(Handle h) noexcept { ::DestroyMenu(h); }
};

/// OpenSCManager and OpenService.
struct ServiceHandleTraits {
    using Handle = SC_HANDLE;
    static Handle invalid() noexcept { return nullptr; }
    static void close(Handle h) noexcept { ::CloseServiceHandle(h); }
};

/// InternetOpen, InternetConnect, HttpOpenRequest and InternetOpenUrl (wininet.dll, loaded
/// only by a program that uses it).
struct InternetHandleTraits {
    using Handle = HINTERNET;
    static Handle invalid() noexcept { return nullptr; }
    static void close(Handle h) noexcept { ::InternetCloseHandle(h); }
};

/// socket() reports failure with INVALID_SOCKET.
struct SocketTraits {
    using Handle = SOCKET;
    static Handle invalid() noexcept { return INVALID_SOCKET; }
    static void close(Handle h) noexcept { ::closesocket(h); }
};

using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;
using UniqueFile = UniqueHandle<FileHandleTraits>;
using UniqueFind = UniqueHandle<FindHandleTraits>;
using UniqueRegKey = UniqueHandle<RegKeyTraits>;
using UniqueLibrary = UniqueHandle<LibraryTraits>;
using UniqueBitmap = UniqueHandle<GdiObjectTraits<HBITMAP>>;
using UniqueFont = UniqueHandle<GdiObjectTraits<HFONT>>;
using UniqueBrush = UniqueHandle<GdiObjectTraits<HBRUSH>>;
using UniqueIcon = UniqueHandle<IconTraits>;
using UniqueMenu = UniqueHandle<MenuTraits>;
using UniqueService = UniqueHandle<ServiceHandleTraits>;
using UniqueInternet = UniqueHandle<InternetHandleTraits>;
using UniqueSocket = UniqueHandle<SocketTraits>;

/// Owner of one reference to a COM object: Release() when the owner goes, never copied.
template <class T> class ComPtr {
  public:
    ComPtr() noexcept = default;
    explicit ComPtr(T* p) noexcept : p_(p) {}
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other)
            reset(std::exchange(other.p_, nullptr));
        return *this;
    }
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ~ComPtr() { reset(); }

    T* get() const noexcept { return p_; }
    T* operator->() const noexcept { return p_; }
    explicit operator bool() const noexcept { return p_ != nullptr; }

    /// The address to pass to a call that returns a new reference (CoCreateInstance, say);
    /// releases the reference held before.
    T** receive() noexcept {
        reset();
        return &p_;
    }

    /// Releases the reference held (if any) and takes `p`.
    void reset(T* p = nullptr) noexcept {
        T* old = std::exchange(p_, p);
        if (old)
            old->Release();
    }

  private:
    T* p_ = nullptr;
};

/// BeginPaint/EndPaint for one WM_PAINT.
class PaintDC {
  public:
    explicit PaintDC(HWND wnd) : wnd_(wnd) { dc_ = ::BeginPaint(wnd, &ps_); }
    ~PaintDC() { ::EndPaint(wnd_, &ps_); }
    PaintDC(const PaintDC&) = delete;
    PaintDC& operator=(const PaintDC&) = delete;
    HDC dc() const { return dc_; }
    const PAINTSTRUCT& paint() const { return ps_; }

  private:
    HWND wnd_;
    HDC dc_;
    PAINTSTRUCT ps_{};
};

/// GetDC/ReleaseDC.
class ClientDC {
  public:
    explicit ClientDC(HWND wnd) : wnd_(wnd), dc_(::GetDC(wnd)) {}
    ~ClientDC() {
        if (dc_)
            ::ReleaseDC(wnd_, dc_);
    }
    ClientDC(const ClientDC&) = delete;
    ClientDC& operator=(const ClientDC&) = delete;
    HDC dc() const { return dc_; }

  private:
    HWND wnd_;
    HDC dc_;
};

/// A memory DC compatible with another, deleted at the end of the scope.
class MemoryDC {
  public:
    explicit MemoryDC(HDC like) : dc_(::CreateCompatibleDC(like)) {}
    ~MemoryDC() {
        if (dc_)
            ::DeleteDC(dc_);
    }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    HDC dc() const { return dc_; }

  private:
    HDC dc_;
};

/// SelectObject for the length of a scope; the previous object is selected back.
class SelectScope {
  public:
    SelectScope(HDC dc, HGDIOBJ obj) : dc_(dc), old_(::SelectObject(dc, obj)) {}
    ~SelectScope() {
        if (old_)
            ::SelectObject(dc_, old_);
    }
    SelectScope(const SelectScope&) = delete;
    SelectScope& operator=(const SelectScope&) = delete;

  private:
    HDC dc_;
    HGDIOBJ old_;
};

} // namespace cv
