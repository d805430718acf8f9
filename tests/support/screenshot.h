// Test support: pictures of windows as they are on the screen, saved as PNG files.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace screenshot {

// Pixels top row first, three bytes (red, green, blue) each, no padding.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;
};

// The window's rectangle as the screen shows it, frame and caption included; empty when the
// window is not on the screen. The window is brought to the top and repainted first.
Image CaptureWindow(HWND window);

// The screen's pixels in the rectangle as they are now, without asking any window to paint: for
// windows of a program that is busy and does not answer messages.
Image CaptureScreen(const RECT& part);

// A PNG file (8-bit RGB, no interlace) of the image; empty for an empty image.
std::string EncodePng(const Image& image);

// CaptureWindow and EncodePng into the file; false when nothing could be captured or written.
bool SaveWindowPng(HWND window, const std::string& path);

}  // namespace screenshot
