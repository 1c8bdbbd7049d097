#include "tests/support/Screenshot.h"

#include <algorithm>

#include "common/base/UniqueHandle.h"
#include "common/fs/File.h"
#include "tests/support/WindowDriver.h"

namespace ztest {
namespace {

// A 32-bit top-down DIB section selected into a memory DC.
class DibCanvas {
public:
    DibCanvas(int width, int height) : m_width(width), m_height(height) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        m_dc.reset(::CreateCompatibleDC(nullptr));
        m_bitmap.reset(::CreateDIBSection(m_dc.get(), &info, DIB_RGB_COLORS, &m_bits, nullptr, 0));
        if (m_dc && m_bitmap) m_old = ::SelectObject(m_dc.get(), m_bitmap.get());
    }
    ~DibCanvas() {
        if (m_old) ::SelectObject(m_dc.get(), m_old);
    }
    DibCanvas(const DibCanvas&) = delete;
    DibCanvas& operator=(const DibCanvas&) = delete;

    bool ok() const { return m_bits != nullptr && m_old != nullptr; }
    HDC dc() const { return m_dc.get(); }
    Pixels Read() const {
        Pixels pixels;
        if (!ok()) return pixels;
        ::GdiFlush();
        pixels.width = m_width;
        pixels.height = m_height;
        const auto* bits = static_cast<const uint32_t*>(m_bits);
        pixels.data.assign(bits, bits + static_cast<size_t>(m_width) * m_height);
        for (uint32_t& p : pixels.data) p &= 0x00FFFFFFu;
        return pixels;
    }

private:
    int m_width;
    int m_height;
    UniqueDc m_dc;
    UniqueGdiObject m_bitmap;
    void* m_bits = nullptr;
    HGDIOBJ m_old = nullptr;
};

uint32_t Crc32(const std::string& bytes, size_t from) {
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = from; i < bytes.size(); ++i) {
        crc ^= static_cast<uint8_t>(bytes[i]);
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void AppendBigEndian(std::string& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<char>((value >> shift) & 0xFFu));
}

void AppendChunk(std::string& png, const char (&type)[5], const std::string& body) {
    AppendBigEndian(png, static_cast<uint32_t>(body.size()));
    const size_t start = png.size();
    png.append(type, 4);
    png += body;
    AppendBigEndian(png, Crc32(png, start));
}

}  // namespace

Pixels CaptureScreen(const RECT& rect) {
    const int width = std::max(0, static_cast<int>(rect.right - rect.left));
    const int height = std::max(0, static_cast<int>(rect.bottom - rect.top));
    return DrawPicture(width, height, [&](HDC dc) {
        HDC screen = ::GetDC(nullptr);
        ::BitBlt(dc, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
        ::ReleaseDC(nullptr, screen);
    });
}

Pixels DrawPicture(int width, int height, const std::function<void(HDC)>& draw) {
    if (width <= 0 || height <= 0) return {};
    DibCanvas canvas(width, height);
    if (!canvas.ok()) return {};
    draw(canvas.dc());
    return canvas.Read();
}

size_t DifferingPixels(const Pixels& a, const Pixels& b) {
    if (a.width != b.width || a.height != b.height) return std::max(a.data.size(), b.data.size());
    size_t differing = 0;
    for (size_t i = 0; i < a.data.size(); ++i) differing += a.data[i] != b.data[i] ? 1 : 0;
    return differing;
}

std::string EncodePng(const Pixels& pixels) {
    std::string raw;  // one filter byte (none) per row, then RGB
    raw.reserve(static_cast<size_t>(pixels.width * 3 + 1) * pixels.height);
    for (int y = 0; y < pixels.height; ++y) {
        raw.push_back('\0');
        for (int x = 0; x < pixels.width; ++x) {
            const uint32_t p = pixels.data[static_cast<size_t>(y) * pixels.width + x];
            raw.push_back(static_cast<char>((p >> 16) & 0xFFu));
            raw.push_back(static_cast<char>((p >> 8) & 0xFFu));
            raw.push_back(static_cast<char>(p & 0xFFu));
        }
    }
    std::string zlib("\x78\x01", 2);
    size_t pos = 0;
    do {
        const size_t n = std::min<size_t>(0xFFFF, raw.size() - pos);
        const bool last = pos + n == raw.size();
        zlib.push_back(last ? '\x01' : '\x00');
        zlib.push_back(static_cast<char>(n & 0xFFu));
        zlib.push_back(static_cast<char>(n >> 8));
        zlib.push_back(static_cast<char>(~n & 0xFFu));
        zlib.push_back(static_cast<char>((~n >> 8) & 0xFFu));
        zlib.append(raw, pos, n);
        pos += n;
    } while (pos < raw.size());
    uint32_t a = 1, b = 0;  // Adler-32
    for (char c : raw) {
        a = (a + static_cast<uint8_t>(c)) % 65521u;
        b = (b + a) % 65521u;
    }
    AppendBigEndian(zlib, (b << 16) | a);

    std::string header;
    AppendBigEndian(header, static_cast<uint32_t>(pixels.width));
    AppendBigEndian(header, static_cast<uint32_t>(pixels.height));
    header.append("\x08\x02\x00\x00\x00", 5);  // 8 bits per channel, RGB
    std::string png("\x89PNG\r\n\x1a\n", 8);
    AppendChunk(png, "IHDR", header);
    AppendChunk(png, "IDAT", zlib);
    AppendChunk(png, "IEND", "");
    return png;
}

bool SaveWindowPng(HWND window, const std::wstring& path) {
    RECT rect{};
    if (!::GetWindowRect(window, &rect)) return false;
    const Pixels pixels = CaptureScreen(rect);
    std::wstring error;
    return !pixels.data.empty() && zfs::WriteFileAtomic(path, EncodePng(pixels), error);
}

bool WaitPainted(HWND window, DWORD timeoutMs) {
    Pixels last;
    return WaitFor(
        [&] {
            RECT rect{};
            if (::GetUpdateRect(window, nullptr, FALSE) || !::GetWindowRect(window, &rect)) return false;
            Pixels now = CaptureScreen(rect);
            const bool painted =
                !now.data.empty() && DifferingPixels(now, last) == 0 &&
                std::any_of(now.data.begin(), now.data.end(), [&](uint32_t p) { return p != now.data.front(); });
            last = std::move(now);
            return painted;
        },
        timeoutMs);
}

}  // namespace ztest
