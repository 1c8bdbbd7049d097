#include "tests/support/Screenshot.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using ztest::Pixels;

uint32_t BigEndian(const std::string& bytes, size_t at) {
    uint32_t value = 0;
    for (size_t i = at; i < at + 4 && i < bytes.size(); ++i) value = (value << 8) | static_cast<uint8_t>(bytes[i]);
    return value;
}

struct Chunk {
    std::string type;
    std::string body;
    uint32_t crc = 0;
};

// The chunks after the signature, up to the first one that does not fit the bytes.
std::vector<Chunk> ChunksOf(const std::string& png) {
    std::vector<Chunk> chunks;
    size_t at = 8;
    while (at + 12 <= png.size()) {
        const uint32_t length = BigEndian(png, at);
        if (length > png.size() - at - 12) break;
        chunks.push_back({png.substr(at + 4, 4), png.substr(at + 8, length), BigEndian(png, at + 8 + length)});
        at += 12 + length;
    }
    return chunks;
}

struct Inflated {
    bool wellFormed = false;
    int blocks = 0;
    std::string data;
    uint32_t adler = 0;
};

// Reads a zlib stream made only of stored blocks; wellFormed when every length checks and only the last block
// is marked final.
Inflated ReadStored(const std::string& zlib) {
    Inflated out;
    if (zlib.compare(0, 2, "\x78\x01", 2) != 0) return out;
    size_t at = 2;
    for (;;) {
        if (at + 5 > zlib.size()) return out;
        const bool final = zlib[at] == '\x01';
        if (!final && zlib[at] != '\x00') return out;
        const auto byte = [&](size_t i) { return static_cast<unsigned>(static_cast<uint8_t>(zlib[at + i])); };
        const unsigned length = byte(1) | (byte(2) << 8);
        const unsigned check = byte(3) | (byte(4) << 8);
        if ((length ^ 0xFFFFu) != check || at + 5 + length > zlib.size()) return out;
        out.data.append(zlib, at + 5, length);
        ++out.blocks;
        at += 5 + length;
        if (final) break;
    }
    if (at + 4 != zlib.size()) return out;
    out.adler = BigEndian(zlib, at);
    out.wellFormed = true;
    return out;
}

uint32_t PatternAt(int x, int y) {
    return ((static_cast<uint32_t>(x) * 40503u + static_cast<uint32_t>(y) * 9973u) ^ (static_cast<uint32_t>(x) << 8)) &
           0x00FFFFFFu;
}

Pixels Pattern(int width, int height) {
    Pixels pixels{width, height, {}};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) pixels.data.push_back(PatternAt(x, y));
    }
    return pixels;
}

TEST(Screenshot, PngOfStoredBlocksWithChecksums) {
    // Checksums and sizes from an independent encoder of the same picture.
    struct Row {
        const char* name;
        int width, height;
        size_t size;
        uint32_t headerCrc, dataCrc, adler;
        int blocks;
    } rows[] = {
        {"one pixel", 1, 1, 72, 0x907753DEu, 0x6549C360u, 0x00040001u, 1},
        {"three by two", 3, 2, 88, 0x1216F14Du, 0xF20DF959u, 0x21A50454u, 1},
        {"rows filling one block exactly", 28, 771, 65603, 0x3E07E210u, 0x1A530373u, 0x0A6DD8F6u, 1},
        {"one row over one block", 28, 772, 65693, 0x2302D2A8u, 0xD98342FBu, 0xF355023Cu, 2},
        {"one row longer than a block", 21845, 1, 65609, 0x2961048Au, 0x0E61BCAFu, 0x702C716Cu, 2},
        {"window sized", 300, 200, 180278, 0xDDBD4B02u, 0x648D9D42u, 0xED119B70u, 3},
    };
    for (const Row& row : rows) {
        const std::string png = ztest::EncodePng(Pattern(row.width, row.height));
        EXPECT_EQ(png.size(), row.size) << row.name;
        ASSERT_EQ(png.compare(0, 8, "\x89PNG\r\n\x1a\n", 8), 0) << row.name;
        const std::vector<Chunk> chunks = ChunksOf(png);
        ASSERT_EQ(chunks.size(), 3u) << row.name;
        EXPECT_EQ(chunks[0].type, "IHDR") << row.name;
        EXPECT_EQ(BigEndian(chunks[0].body, 0), static_cast<uint32_t>(row.width)) << row.name;
        EXPECT_EQ(BigEndian(chunks[0].body, 4), static_cast<uint32_t>(row.height)) << row.name;
        EXPECT_EQ(chunks[0].body.substr(8), std::string("\x08\x02\x00\x00\x00", 5)) << row.name;
        EXPECT_EQ(chunks[0].crc, row.headerCrc) << row.name;
        EXPECT_EQ(chunks[1].type, "IDAT") << row.name;
        EXPECT_EQ(chunks[1].crc, row.dataCrc) << row.name;
        EXPECT_EQ(chunks[2].type, "IEND") << row.name;
        EXPECT_EQ(chunks[2].crc, 0xAE426082u) << row.name;

        const Inflated inflated = ReadStored(chunks[1].body);
        ASSERT_TRUE(inflated.wellFormed) << row.name;
        EXPECT_EQ(inflated.blocks, row.blocks) << row.name;
        EXPECT_EQ(inflated.adler, row.adler) << row.name;
        std::string expected;  // filter byte 0, then red, green, blue per pixel
        for (int y = 0; y < row.height; ++y) {
            expected.push_back('\0');
            for (int x = 0; x < row.width; ++x) {
                const uint32_t p = PatternAt(x, y);
                for (int shift : {16, 8, 0}) expected.push_back(static_cast<char>((p >> shift) & 0xFFu));
            }
        }
        EXPECT_TRUE(inflated.data == expected) << row.name;
    }
}

TEST(Screenshot, DrawnPicturesAndTheirDifferences) {
    // A red 2x1 bar at (1,1) on a 4x3 white canvas, read back as 0x00RRGGBB.
    const Pixels drawn = ztest::DrawPicture(4, 3, [](HDC dc) {
        const RECT all{0, 0, 4, 3};
        ::FillRect(dc, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
        const RECT bar{1, 1, 3, 2};
        ::SetBkColor(dc, RGB(255, 0, 0));
        ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &bar, nullptr, 0, nullptr);
    });
    ASSERT_EQ(drawn.width, 4);
    ASSERT_EQ(drawn.height, 3);
    std::vector<uint32_t> expected(12, 0x00FFFFFFu);
    expected[5] = expected[6] = 0x00FF0000u;
    EXPECT_EQ(drawn.data, expected);
    EXPECT_TRUE(ztest::DrawPicture(0, 3, [](HDC) {}).data.empty());

    Pixels onePixelOff = drawn;
    onePixelOff.data[11] = 0;
    const Pixels wider = ztest::DrawPicture(5, 3, [](HDC) {});
    struct Row {
        const char* name;
        const Pixels& a;
        const Pixels& b;
        size_t expected;
    } rows[] = {
        {"same picture", drawn, drawn, 0},
        {"one pixel off", drawn, onePixelOff, 1},
        {"sizes differ", drawn, wider, 15},
        {"sizes differ, other way", wider, drawn, 15},
    };
    for (const Row& row : rows) EXPECT_EQ(ztest::DifferingPixels(row.a, row.b), row.expected) << row.name;
}

}  // namespace
