// Screenshots: what the screen shows of a window comes back, pixel for pixel, out of the PNG file.
#include <gtest/gtest.h>

#include <zlib.h>

#include "machine.h"
#include "screenshot.h"

namespace {

unsigned long BigEndian(const std::string& s, size_t at) {
    return (static_cast<unsigned long>(static_cast<unsigned char>(s[at])) << 24) |
           (static_cast<unsigned long>(static_cast<unsigned char>(s[at + 1])) << 16) |
           (static_cast<unsigned long>(static_cast<unsigned char>(s[at + 2])) << 8) |
           static_cast<unsigned long>(static_cast<unsigned char>(s[at + 3]));
}

// Reads back the PNG files EncodePng writes, checking every chunk's CRC on the way.
bool DecodePng(const std::string& png, screenshot::Image* image) {
    if (png.compare(0, 8, std::string("\x89PNG\r\n\x1a\n", 8)) != 0) return false;
    std::string packed;
    for (size_t at = 8; at + 12 <= png.size();) {
        const unsigned long length = BigEndian(png, at);
        const std::string type = png.substr(at + 4, 4);
        const std::string body = png.substr(at + 4, 4 + length);
        if (crc32(0, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size())) !=
            BigEndian(png, at + 8 + length))
            return false;
        if (type == "IHDR") {
            image->width = static_cast<int>(BigEndian(png, at + 8));
            image->height = static_cast<int>(BigEndian(png, at + 12));
            if (png.substr(at + 16, 5) != std::string("\x08\x02\x00\x00\x00", 5)) return false;
        }
        if (type == "IDAT") packed += png.substr(at + 8, length);
        if (type == "IEND") break;
        at += 12 + length;
    }
    const size_t row = static_cast<size_t>(image->width) * 3 + 1;
    std::string raw(row * image->height, '\0');
    uLongf rawSize = static_cast<uLongf>(raw.size());
    if (uncompress(reinterpret_cast<Bytef*>(&raw[0]), &rawSize, reinterpret_cast<const Bytef*>(packed.data()),
                   static_cast<uLong>(packed.size())) != Z_OK || rawSize != raw.size())
        return false;
    image->rgb.clear();
    for (int y = 0; y < image->height; ++y) {
        if (raw[y * row] != 0) return false;
        image->rgb.insert(image->rgb.end(), raw.begin() + y * row + 1, raw.begin() + (y + 1) * row);
    }
    return true;
}

LRESULT CALLBACK TwoColours(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_PAINT) return DefWindowProcA(window, message, wParam, lParam);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT r;
    GetClientRect(window, &r);
    RECT left = r, right = r;
    left.right = right.left = r.right / 2;
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0)), blue = CreateSolidBrush(RGB(0, 0, 255));
    FillRect(dc, &left, red);
    FillRect(dc, &right, blue);
    DeleteObject(red);
    DeleteObject(blue);
    EndPaint(window, &ps);
    return 0;
}

class Screenshot : public ::testing::Test {
protected:
    void SetUp() override {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = TwoColours;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "VrkTwoColours";
        RegisterClassA(&wc);
        window_ = CreateWindowExA(WS_EX_TOPMOST, wc.lpszClassName, "", WS_POPUP | WS_VISIBLE, 200, 150, 64, 48,
                                  nullptr, nullptr, wc.hInstance, nullptr);
        ASSERT_NE(nullptr, window_);
        UpdateWindow(window_);
    }
    void TearDown() override {
        if (window_) DestroyWindow(window_);
    }
    static const unsigned char* Pixel(const screenshot::Image& image, int x, int y) {
        return &image.rgb[(static_cast<size_t>(y) * image.width + x) * 3];
    }
    HWND window_ = nullptr;
};

TEST_F(Screenshot, PngFileHoldsTheWindowAsPainted) {
    const std::string path = testing_machine::FreshDirectory("screenshot") + "\\two.png";
    ASSERT_TRUE(screenshot::SaveWindowPng(window_, path));
    screenshot::Image image;
    ASSERT_TRUE(DecodePng(testing_machine::ReadFileBytes(path), &image));
    ASSERT_EQ(64, image.width);
    ASSERT_EQ(48, image.height);
    for (int y : {0, 20, 47}) {
        EXPECT_EQ(0xFF, Pixel(image, 5, y)[0]) << "red half, row " << y;
        EXPECT_EQ(0x00, Pixel(image, 5, y)[2]);
        EXPECT_EQ(0x00, Pixel(image, 60, y)[0]) << "blue half, row " << y;
        EXPECT_EQ(0xFF, Pixel(image, 60, y)[2]);
    }
}

TEST_F(Screenshot, NothingIsCapturedOfAWindowThatIsNotShown) {
    ShowWindow(window_, SW_HIDE);
    EXPECT_EQ(0, screenshot::CaptureWindow(window_).width);
    EXPECT_FALSE(screenshot::SaveWindowPng(window_, "C:\\temp\\hidden.png"));
    EXPECT_FALSE(testing_machine::PathExists("C:\\temp\\hidden.png"));
    EXPECT_TRUE(screenshot::EncodePng(screenshot::Image()).empty());
}

}  // namespace
