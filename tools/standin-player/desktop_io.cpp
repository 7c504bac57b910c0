#include "desktop_io.h"

#include <windows.h>

#include <vector>

#include "png_writer.h"
#include "text/file_access.h"

namespace vemo::standin {

namespace {

// Keys whose scan codes carry the extended prefix on a real keyboard.
bool IsExtendedKey(uint8_t key) {
    switch (key) {
    case VK_LWIN: case VK_RWIN: case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN:
    case VK_DELETE: case VK_INSERT: case VK_HOME: case VK_END: case VK_PRIOR: case VK_NEXT:
        return true;
    default:
        return false;
    }
}

INPUT KeyInput(uint8_t key, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (IsExtendedKey(key) ? KEYEVENTF_EXTENDEDKEY : 0);
    return input;
}

INPUT MouseInput(DWORD flags, LONG dx = 0, LONG dy = 0) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = dx;
    input.mi.dy = dy;
    input.mi.dwFlags = flags;
    return input;
}

// Device contexts and GDI objects, released in reverse order of creation.
struct ScreenDC {
    HDC dc = GetDC(nullptr);
    ~ScreenDC() { if (dc) ReleaseDC(nullptr, dc); }
};
struct MemoryDC {
    HDC dc;
    explicit MemoryDC(HDC like) : dc(CreateCompatibleDC(like)) {}
    ~MemoryDC() { if (dc) DeleteDC(dc); }
};
struct Bitmap {
    HBITMAP bitmap = nullptr;
    ~Bitmap() { if (bitmap) DeleteObject(bitmap); }
};
struct Selection {
    HDC dc;
    HGDIOBJ old;
    Selection(HDC d, HGDIOBJ object) : dc(d), old(SelectObject(d, object)) {}
    ~Selection() { SelectObject(dc, old); }
};

constexpr WORD kBitsPerPixel = 24;
constexpr LONG kAbsoluteRange = 65535;

}  // namespace

bool SendKeyCombo(const KeyCombo& combo) {
    std::vector<INPUT> inputs;
    for (uint8_t modifier : combo.modifiers) inputs.push_back(KeyInput(modifier, false));
    inputs.push_back(KeyInput(combo.key, false));
    inputs.push_back(KeyInput(combo.key, true));
    for (auto it = combo.modifiers.rbegin(); it != combo.modifiers.rend(); ++it) inputs.push_back(KeyInput(*it, true));
    UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    return sent == inputs.size();
}

bool SendKeysDown(const KeyCombo& combo) {
    std::vector<INPUT> inputs;
    for (uint8_t modifier : combo.modifiers) inputs.push_back(KeyInput(modifier, false));
    inputs.push_back(KeyInput(combo.key, false));
    return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) == inputs.size();
}

bool SendKeyRepeat(const KeyCombo& combo) {
    INPUT input = KeyInput(combo.key, false);
    return SendInput(1, &input, sizeof(INPUT)) == 1;
}

bool SendKeysUp(const KeyCombo& combo) {
    std::vector<INPUT> inputs;
    inputs.push_back(KeyInput(combo.key, true));
    for (auto it = combo.modifiers.rbegin(); it != combo.modifiers.rend(); ++it) inputs.push_back(KeyInput(*it, true));
    return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) == inputs.size();
}

bool SendClick(int x, int y, MouseButton button) {
    int width = GetSystemMetrics(SM_CXSCREEN);
    int height = GetSystemMetrics(SM_CYSCREEN);
    if (width <= 1 || height <= 1) return false;
    DWORD down = MOUSEEVENTF_LEFTDOWN;
    DWORD up = MOUSEEVENTF_LEFTUP;
    if (button == MouseButton::Right) {
        down = MOUSEEVENTF_RIGHTDOWN;
        up = MOUSEEVENTF_RIGHTUP;
    } else if (button == MouseButton::Middle) {
        down = MOUSEEVENTF_MIDDLEDOWN;
        up = MOUSEEVENTF_MIDDLEUP;
    }
    LONG ax = MulDiv(x, kAbsoluteRange, width - 1);
    LONG ay = MulDiv(y, kAbsoluteRange, height - 1);
    INPUT inputs[] = {MouseInput(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, ax, ay), MouseInput(down), MouseInput(up)};
    return SendInput(3, inputs, sizeof(INPUT)) == 3;
}

bool SaveScreenshot(const std::string& path) {
    int width = GetSystemMetrics(SM_CXSCREEN);
    int height = GetSystemMetrics(SM_CYSCREEN);
    if (width <= 0 || height <= 0) return false;

    ScreenDC screen;
    MemoryDC memory(screen.dc);
    if (!screen.dc || !memory.dc) return false;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = kBitsPerPixel;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    Bitmap dib;
    dib.bitmap = CreateDIBSection(screen.dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!dib.bitmap || !bits) return false;
    {
        Selection select(memory.dc, dib.bitmap);
        if (!BitBlt(memory.dc, 0, 0, width, height, screen.dc, 0, 0, SRCCOPY | CAPTUREBLT)) return false;
    }
    GdiFlush();

    // DIB rows are blue-green-red and padded to 4 bytes; PNG wants packed red-green-blue.
    size_t w = static_cast<size_t>(width);
    size_t h = static_cast<size_t>(height);
    size_t stride = (w * 3 + 3) & ~size_t{3};
    const uint8_t* source = static_cast<const uint8_t*>(bits);
    std::vector<uint8_t> rgb(w * h * 3);
    for (size_t y = 0; y < h; ++y) {
        const uint8_t* row = source + y * stride;
        uint8_t* out = rgb.data() + y * w * 3;
        for (size_t x = 0; x < w; ++x) {
            out[x * 3] = row[x * 3 + 2];
            out[x * 3 + 1] = row[x * 3 + 1];
            out[x * 3 + 2] = row[x * 3];
        }
    }
    std::vector<uint8_t> png = EncodePNG(static_cast<uint32_t>(width), static_cast<uint32_t>(height), rgb);
    if (png.empty()) return false;
    File file = File::CreateAlways(path);
    return file && file.Write(png.data(), png.size());
}

}  // namespace vemo::standin
