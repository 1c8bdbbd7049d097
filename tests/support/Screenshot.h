#pragma once
// Pixels of the screen for the window tests: what a window looks like, saved as PNG for a person to look at,
// and compared with a picture drawn here.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace ztest {

// 0x00RRGGBB per pixel, rows from the top.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> data;
};

// What the screen shows in the rectangle (screen coordinates).
Pixels CaptureScreen(const RECT& rect);
// A picture drawn by `draw` on a device context of the given size.
Pixels DrawPicture(int width, int height, const std::function<void(HDC)>& draw);
// How many pixels differ; every pixel when the sizes differ.
size_t DifferingPixels(const Pixels& a, const Pixels& b);

// PNG bytes (8-bit RGB, stored deflate blocks).
std::string EncodePng(const Pixels& pixels);
// Saves the window as it shows on the screen, frame included; false when nothing was captured or written.
bool SaveWindowPng(HWND window, const std::wstring& path);
// Waits until the window (of any process) has painted: nothing of it waits for WM_PAINT, and two captures of it
// in a row are alike and not all one colour (under Wine a window shows black until its drawing reaches the
// screen). False when it has not within the time; a window that is truly one colour never counts as painted.
bool WaitPainted(HWND window, DWORD timeoutMs = 5000);

}  // namespace ztest
