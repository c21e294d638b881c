#include "jpeg_writer.hpp"

#include <cstdio>
// jpeglib.h needs FILE and size_t declared first.
#include <jpeglib.h>

#include <cstdlib>
#include <stdexcept>

#include "bmp_writer.hpp"

std::vector<uint8_t> encode_jpeg(const Image& img, int quality) {
    jpeg_compress_struct c{};
    jpeg_error_mgr err{};
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);

    unsigned char* buf = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &buf, &size);

    c.image_width = static_cast<JDIMENSION>(img.w);
    c.image_height = static_cast<JDIMENSION>(img.h);
    c.input_components = 3;
    c.in_color_space = JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, quality, TRUE);
    for (int i = 0; i < c.num_components; ++i) {
        c.comp_info[i].h_samp_factor = 1;
        c.comp_info[i].v_samp_factor = 1;
    }
    c.optimize_coding = TRUE;  // still baseline, just smaller Huffman tables

    jpeg_start_compress(&c, TRUE);
    std::vector<uint8_t> row(static_cast<size_t>(img.w) * 3);
    while (c.next_scanline < c.image_height) {
        int y = static_cast<int>(c.next_scanline);
        for (int x = 0; x < img.w; ++x)
            for (int k = 0; k < 3; ++k) row[static_cast<size_t>(x) * 3 + k] = img.at(x, y)[k];
        JSAMPROW rp = row.data();
        jpeg_write_scanlines(&c, &rp, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);

    std::vector<uint8_t> out(buf, buf + size);
    std::free(buf);
    return out;
}

void write_jpeg(const std::string& path, const Image& img, int quality) { write_file(path, encode_jpeg(img, quality)); }
