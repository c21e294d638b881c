// File formats: BMP layout the game's loader relies on, JPEG sampling.
#include <gtest/gtest.h>

#include "../bmp_writer.hpp"
#include "../jpeg_writer.hpp"
#include "decode.hpp"

namespace {

uint32_t u32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}
uint16_t u16(const std::vector<uint8_t>& b, size_t at) { return static_cast<uint16_t>(b[at] | b[at + 1] << 8); }

// 3 x 2 picture: odd width forces row padding; rows differ so flipping shows.
Image sample() {
    Image img(3, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            uint8_t* p = img.at(x, y);
            p[0] = static_cast<uint8_t>(10 * x + 1);
            p[1] = static_cast<uint8_t>(100 + y);
            p[2] = 200;
            p[3] = static_cast<uint8_t>(x * 100 + y);
        }
    return img;
}

}  // namespace

TEST(BmpWriter, TrueColourHeaderAndBottomUpPaddedRows) {
    auto b = encode_bmp24(sample());
    ASSERT_EQ(b[0], 'B');
    ASSERT_EQ(b[1], 'M');
    EXPECT_EQ(u32(b, 2), b.size());
    EXPECT_EQ(u32(b, 10), 54u);
    EXPECT_EQ(u32(b, 14), 40u);
    EXPECT_EQ(static_cast<int32_t>(u32(b, 18)), 3);
    EXPECT_EQ(static_cast<int32_t>(u32(b, 22)), 2);  // positive: bottom-up
    EXPECT_EQ(u16(b, 28), 24);
    EXPECT_EQ(u32(b, 30), 0u);          // uncompressed
    ASSERT_EQ(b.size(), 54u + 2 * 12);  // 9 bytes of pixels padded to 12
    // first stored row is the picture's bottom row (y = 1), in BGR order
    EXPECT_EQ(b[54], 200);
    EXPECT_EQ(b[55], 101);
    EXPECT_EQ(b[56], 1);
    EXPECT_EQ(b[54 + 9], 0);         // padding
    EXPECT_EQ(b[54 + 12 + 1], 100);  // second stored row is y = 0
}

TEST(BmpWriter, MaskUsesGreyPaletteAndAlphaAsIndex) {
    auto b = encode_bmp8_alpha(sample());
    EXPECT_EQ(u32(b, 10), 54u + 1024);
    EXPECT_EQ(u16(b, 28), 8);
    EXPECT_EQ(u32(b, 46), 256u);
    for (int i : {0, 1, 128, 255}) {
        EXPECT_EQ(b[54 + 4 * i], i);
        EXPECT_EQ(b[54 + 4 * i + 1], i);
        EXPECT_EQ(b[54 + 4 * i + 2], i);
    }
    const size_t px = 54 + 1024;
    ASSERT_EQ(b.size(), px + 2 * 4);
    EXPECT_EQ(b[px + 0], 1);        // (0, 1)
    EXPECT_EQ(b[px + 2], 201);      // (2, 1)
    EXPECT_EQ(b[px + 4 + 1], 100);  // (1, 0)
}

TEST(JpegWriter, FullChromaBaselineAndFaithful) {
    Image img(64, 32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 64; ++x) {
            uint8_t* p = img.at(x, y);
            p[0] = static_cast<uint8_t>(x * 4);
            p[1] = static_cast<uint8_t>(y * 8);
            p[2] = 90;
            p[3] = 255;
        }
    auto bytes = encode_jpeg(img);
    EXPECT_EQ(bytes, encode_jpeg(img));  // same input, same bytes

    jpeg_decompress_struct d{};
    jpeg_error_mgr err{};
    d.err = jpeg_std_error(&err);
    jpeg_create_decompress(&d);
    jpeg_mem_src(&d, bytes.data(), bytes.size());
    ASSERT_EQ(jpeg_read_header(&d, TRUE), JPEG_HEADER_OK);
    EXPECT_FALSE(d.progressive_mode);
    for (int c = 0; c < d.num_components; ++c) {
        EXPECT_EQ(d.comp_info[c].h_samp_factor, 1);
        EXPECT_EQ(d.comp_info[c].v_samp_factor, 1);
    }
    jpeg_destroy_decompress(&d);

    Image back = decode_jpeg(bytes);
    ASSERT_EQ(back.w, 64);
    ASSERT_EQ(back.h, 32);
    int worst = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 64; ++x)
            for (int k = 0; k < 3; ++k) worst = std::max(worst, std::abs(back.at(x, y)[k] - img.at(x, y)[k]));
    EXPECT_LE(worst, 8);
}
