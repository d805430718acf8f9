#include "screenshot.h"

#include <zlib.h>

#include "machine.h"

namespace screenshot {
namespace {

// Wine paints a window on its own thread's schedule; give the window's thread time to finish.
constexpr DWORD kSettleMs = 300;

void PutBigEndian(std::string& out, unsigned long value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<char>((value >> shift) & 0xFF));
}

void PutChunk(std::string& out, const char type[4], const std::string& data) {
    PutBigEndian(out, static_cast<unsigned long>(data.size()));
    std::string body(type, 4);
    body += data;
    out += body;
    PutBigEndian(out, crc32(0, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size())));
}

struct ScreenDc {
    HDC dc = GetDC(nullptr);
    ~ScreenDc() {
        if (dc) ReleaseDC(nullptr, dc);
    }
};
struct MemoryDc {
    HDC dc;
    explicit MemoryDc(HDC compatible) : dc(CreateCompatibleDC(compatible)) {}
    ~MemoryDc() {
        if (dc) DeleteDC(dc);
    }
};
struct Bitmap {
    HBITMAP bitmap = nullptr;
    ~Bitmap() {
        if (bitmap) DeleteObject(bitmap);
    }
};

}  // namespace

Image CaptureWindow(HWND window) {
    Image image;
    if (!IsWindow(window) || !IsWindowVisible(window)) return image;
    // A caption is drawn active only in the foreground; pictures of one dialog should look alike.
    SetForegroundWindow(window);
    SendMessageTimeoutA(window, WM_NCACTIVATE, TRUE, 0, SMTO_ABORTIFHUNG, 2000, nullptr);
    SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < kSettleMs) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        Sleep(10);
    }
    RECT r;
    if (!GetWindowRect(window, &r)) return image;
    return CaptureScreen(r);
}

Image CaptureScreen(const RECT& r) {
    Image image;
    if (r.right <= r.left || r.bottom <= r.top) return image;
    const int width = r.right - r.left, height = r.bottom - r.top;

    ScreenDc screen;
    MemoryDc memory(screen.dc);
    if (!screen.dc || !memory.dc) return image;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    Bitmap dib;
    dib.bitmap = CreateDIBSection(screen.dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!dib.bitmap || !bits) return image;
    HGDIOBJ old = SelectObject(memory.dc, dib.bitmap);
    const BOOL copied = BitBlt(memory.dc, 0, 0, width, height, screen.dc, r.left, r.top, SRCCOPY | CAPTUREBLT);
    GdiFlush();
    SelectObject(memory.dc, old);
    if (!copied) return image;

    const int stride = (width * 3 + 3) & ~3;
    image.width = width;
    image.height = height;
    image.rgb.resize(static_cast<size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y) {
        const unsigned char* row = static_cast<const unsigned char*>(bits) + static_cast<size_t>(y) * stride;
        unsigned char* out = &image.rgb[static_cast<size_t>(y) * width * 3];
        for (int x = 0; x < width; ++x) {
            out[3 * x] = row[3 * x + 2];
            out[3 * x + 1] = row[3 * x + 1];
            out[3 * x + 2] = row[3 * x];
        }
    }
    return image;
}

std::string EncodePng(const Image& image) {
    if (image.width <= 0 || image.height <= 0 ||
        image.rgb.size() != static_cast<size_t>(image.width) * image.height * 3)
        return std::string();
    // Each row starts with its filter type; 0 leaves the bytes as they are.
    const size_t rowBytes = static_cast<size_t>(image.width) * 3;
    std::string raw;
    raw.reserve((rowBytes + 1) * image.height);
    for (int y = 0; y < image.height; ++y) {
        raw.push_back('\0');
        raw.append(reinterpret_cast<const char*>(&image.rgb[y * rowBytes]), rowBytes);
    }
    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::string packed(packedSize, '\0');
    if (compress2(reinterpret_cast<Bytef*>(&packed[0]), &packedSize, reinterpret_cast<const Bytef*>(raw.data()),
                  static_cast<uLong>(raw.size()), Z_BEST_COMPRESSION) != Z_OK)
        return std::string();
    packed.resize(packedSize);

    std::string header;
    PutBigEndian(header, static_cast<unsigned long>(image.width));
    PutBigEndian(header, static_cast<unsigned long>(image.height));
    header += std::string("\x08\x02\x00\x00\x00", 5);  // 8 bits, RGB, deflate, filter set 0, no interlace
    std::string png("\x89PNG\r\n\x1a\n", 8);
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", packed);
    PutChunk(png, "IEND", std::string());
    return png;
}

bool SaveWindowPng(HWND window, const std::string& path) {
    const std::string png = EncodePng(CaptureWindow(window));
    return !png.empty() && testing_machine::WriteFileBytes(path, png);
}

}  // namespace screenshot
