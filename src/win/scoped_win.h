// One small owner per kind of Windows handle, so every path out of a function releases
// what it took. None of them can be copied; the long-lived ones can be moved into the
// module state.
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <utility>

namespace vemo {

// A font, pen or brush, deleted with its owner.
template <typename T>
class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(T handle) : handle_(handle) {}
    ~GdiObject() { Reset(); }
    GdiObject(GdiObject&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    GdiObject& operator=(GdiObject&& other) noexcept {
        if (this != &other) {
            Reset();
            handle_ = std::exchange(other.handle_, nullptr);
        }
        return *this;
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    T Get() const { return handle_; }
    void Reset(T handle = nullptr) {
        if (handle_) DeleteObject(handle_);
        handle_ = handle;
    }

private:
    T handle_ = nullptr;
};

// An icon made for us (extracted or loaded unshared), destroyed with its owner.
class IconHandle {
public:
    IconHandle() = default;
    explicit IconHandle(HICON handle) : handle_(handle) {}
    ~IconHandle() { Reset(); }
    IconHandle(IconHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    IconHandle& operator=(IconHandle&& other) noexcept {
        if (this != &other) {
            Reset();
            handle_ = std::exchange(other.handle_, nullptr);
        }
        return *this;
    }
    IconHandle(const IconHandle&) = delete;
    IconHandle& operator=(const IconHandle&) = delete;

    HICON Get() const { return handle_; }
    void Reset(HICON handle = nullptr) {
        if (handle_) DestroyIcon(handle_);
        handle_ = handle;
    }

private:
    HICON handle_ = nullptr;
};

// The device context of a window for the span of one operation.
class ScopedGetDC {
public:
    explicit ScopedGetDC(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~ScopedGetDC() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    ScopedGetDC(const ScopedGetDC&) = delete;
    ScopedGetDC& operator=(const ScopedGetDC&) = delete;
    HDC Get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// Selects an object into a device context and puts the previous one back.
class ScopedSelectObject {
public:
    ScopedSelectObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(dc && object ? SelectObject(dc, object) : nullptr) {}
    ~ScopedSelectObject() {
        if (previous_) SelectObject(dc_, previous_);
    }
    ScopedSelectObject(const ScopedSelectObject&) = delete;
    ScopedSelectObject& operator=(const ScopedSelectObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// An open wave-output device.
class WaveOutHandle {
public:
    WaveOutHandle() = default;
    explicit WaveOutHandle(HWAVEOUT handle) : handle_(handle) {}
    ~WaveOutHandle() { Close(); }
    WaveOutHandle(WaveOutHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    WaveOutHandle& operator=(WaveOutHandle&& other) noexcept {
        if (this != &other) {
            Close();
            handle_ = std::exchange(other.handle_, nullptr);
        }
        return *this;
    }
    WaveOutHandle(const WaveOutHandle&) = delete;
    WaveOutHandle& operator=(const WaveOutHandle&) = delete;

    HWAVEOUT Get() const { return handle_; }
    void Close() {
        if (handle_) waveOutClose(handle_);
        handle_ = nullptr;
    }

private:
    HWAVEOUT handle_ = nullptr;
};

// Our window procedure installed on another program's window. Removing it is only safe
// while ours is still the window's procedure: when something subclassed on top of us,
// putting the old procedure back would cut that one out of the chain. Installed with the
// wide calls: the 8-bit ones would turn a Unicode window into an 8-bit one, and its title
// would lose every character outside the code page. So the procedure passes messages on
// with CallWindowProcW (or DefWindowProcW), never the 8-bit forms.
class WindowSubclass {
public:
    WindowSubclass() = default;
    ~WindowSubclass() {
        if (window_ && IsWindow(window_)) Remove();
    }
    WindowSubclass(WindowSubclass&& other) noexcept
        : window_(std::exchange(other.window_, nullptr)),
          ours_(std::exchange(other.ours_, nullptr)),
          previous_(std::exchange(other.previous_, nullptr)) {}
    WindowSubclass& operator=(WindowSubclass&& other) noexcept {
        if (this != &other) {
            window_ = std::exchange(other.window_, nullptr);
            ours_ = std::exchange(other.ours_, nullptr);
            previous_ = std::exchange(other.previous_, nullptr);
        }
        return *this;
    }
    WindowSubclass(const WindowSubclass&) = delete;
    WindowSubclass& operator=(const WindowSubclass&) = delete;

    void Install(HWND window, WNDPROC ours) {
        window_ = window;
        ours_ = ours;
        previous_ = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ours)));
    }
    bool Installed() const { return window_ != nullptr; }
    HWND Window() const { return window_; }
    WNDPROC Previous() const { return previous_; }
    bool IsOnTop() const {
        return window_ && reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window_, GWLP_WNDPROC)) == ours_;
    }
    // Puts the previous procedure back when ours is still on top. Returns false when it
    // is not: the chain is left as it is and ours stays in it (Previous() stays valid).
    bool Remove() {
        if (!window_) return true;
        if (!IsOnTop()) return false;
        SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
        window_ = nullptr;
        return true;
    }

private:
    HWND window_ = nullptr;
    WNDPROC ours_ = nullptr;
    WNDPROC previous_ = nullptr;
};

// The plug-in's window classes differ only in name, procedure and background: standard
// application icon, arrow cursor, no extra bytes, no menu. Registered wide, so that their
// windows carry any text whole. The small icon is named too: a class without one gets a
// copy of the large one made at registration, which cost about a millisecond per class
// of the player's start.
inline bool RegisterPlainClass(HINSTANCE instance, const wchar_t* name, WNDPROC procedure, int backgroundColor) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = procedure;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
    wc.hIconSm = wc.hIcon;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(backgroundColor + 1));
    wc.lpszClassName = name;
    return RegisterClassExW(&wc) != 0;
}

}  // namespace vemo
