#include "image.hpp"

#include <algorithm>
#include <stdexcept>

Image::Image(int width, int height) : w(width), h(height), px(static_cast<size_t>(width) * height * 4, 0) {}

void Image::blit(const Image& src, int sx, int sy, int sw, int sh, int dx, int dy) {
    for (int y = 0; y < sh; ++y) {
        int ys = sy + y, yd = dy + y;
        if (ys < 0 || ys >= src.h || yd < 0 || yd >= h) continue;
        for (int x = 0; x < sw; ++x) {
            int xs = sx + x, xd = dx + x;
            if (xs < 0 || xs >= src.w || xd < 0 || xd >= w) continue;
            std::copy_n(src.at(xs, ys), 4, at(xd, yd));
        }
    }
}

void Image::fill(uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
    for (size_t i = 0; i < px.size(); i += 4) {
        px[i] = r;
        px[i + 1] = g;
        px[i + 2] = b;
        px[i + 3] = a;
    }
}

void Image::set_alpha(uint8_t a) {
    for (size_t i = 3; i < px.size(); i += 4) px[i] = a;
}

Image from_surface(cairo_surface_t* s) {
    cairo_surface_flush(s);
    if (cairo_image_surface_get_format(s) != CAIRO_FORMAT_ARGB32)
        throw std::runtime_error("from_surface: need an ARGB32 surface");
    Image img(cairo_image_surface_get_width(s), cairo_image_surface_get_height(s));
    const unsigned char* data = cairo_image_surface_get_data(s);
    int stride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < img.h; ++y) {
        const uint32_t* row = reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * stride);
        for (int x = 0; x < img.w; ++x) {
            uint32_t p = row[x];
            unsigned a = p >> 24;
            uint8_t* d = img.at(x, y);
            d[3] = static_cast<uint8_t>(a);
            if (a == 0) {
                d[0] = d[1] = d[2] = 0;
                continue;
            }
            for (int c = 0; c < 3; ++c) {
                unsigned v = (p >> (16 - 8 * c)) & 0xff;
                d[c] = static_cast<uint8_t>(std::min(255u, (v * 255 + a / 2) / a));
            }
        }
    }
    return img;
}

cairo_surface_t* to_surface(const Image& img) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, img.w, img.h);
    unsigned char* data = cairo_image_surface_get_data(s);
    int stride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < img.h; ++y) {
        uint32_t* row = reinterpret_cast<uint32_t*>(data + static_cast<size_t>(y) * stride);
        for (int x = 0; x < img.w; ++x) {
            const uint8_t* p = img.at(x, y);
            unsigned a = p[3];
            auto pm = [a](unsigned c) { return (c * a + 127) / 255; };
            row[x] = (a << 24) | (pm(p[0]) << 16) | (pm(p[1]) << 8) | pm(p[2]);
        }
    }
    cairo_surface_mark_dirty(s);
    return s;
}

void bleed(Image& img, uint8_t colour_threshold) {
    const int w = img.w, h = img.h;
    std::vector<uint8_t> known(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) known[static_cast<size_t>(y) * w + x] = img.alpha(x, y) >= colour_threshold;

    std::vector<int> ring;
    auto has_known_neighbour = [&](int x, int y) {
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                int nx = x + dx, ny = y + dy;
                if (nx >= 0 && ny >= 0 && nx < w && ny < h && known[static_cast<size_t>(ny) * w + nx]) return true;
            }
        return false;
    };
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (!known[static_cast<size_t>(y) * w + x] && has_known_neighbour(x, y)) ring.push_back(y * w + x);

    std::vector<uint8_t> queued(known);
    for (int i : ring) queued[i] = 1;
    while (!ring.empty()) {
        // Colours of a whole ring are computed before any is marked known,
        // so the result does not depend on visiting order.
        std::vector<uint8_t> colours(ring.size() * 3);
        for (size_t k = 0; k < ring.size(); ++k) {
            int x = ring[k] % w, y = ring[k] / w;
            unsigned sum[3] = {0, 0, 0}, n = 0;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    int nx = x + dx, ny = y + dy;
                    if (nx < 0 || ny < 0 || nx >= w || ny >= h || !known[static_cast<size_t>(ny) * w + nx]) continue;
                    const uint8_t* p = img.at(nx, ny);
                    for (int c = 0; c < 3; ++c) sum[c] += p[c];
                    ++n;
                }
            for (int c = 0; c < 3; ++c) colours[k * 3 + c] = static_cast<uint8_t>((sum[c] + n / 2) / n);
        }
        std::vector<int> next;
        for (size_t k = 0; k < ring.size(); ++k) {
            int i = ring[k];
            std::copy_n(&colours[k * 3], 3, &img.px[static_cast<size_t>(i) * 4]);
            known[i] = 1;
        }
        for (int i : ring) {
            int x = i % w, y = i / w;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx) {
                    int nx = x + dx, ny = y + dy;
                    if (nx < 0 || ny < 0 || nx >= w || ny >= h) continue;
                    int j = ny * w + nx;
                    if (!queued[j]) {
                        queued[j] = 1;
                        next.push_back(j);
                    }
                }
        }
        std::sort(next.begin(), next.end());
        ring.swap(next);
    }
}

Image rotate_ccw(const Image& img) {
    Image out(img.h, img.w);
    for (int v = 0; v < img.h; ++v)
        for (int u = 0; u < img.w; ++u) std::copy_n(img.at(u, v), 4, out.at(v, img.w - 1 - u));
    return out;
}

void copy_alpha(Image& dst, const Image& alpha_src) {
    if (dst.w != alpha_src.w || dst.h != alpha_src.h) throw std::runtime_error("copy_alpha: size mismatch");
    for (size_t i = 3; i < dst.px.size(); i += 4) dst.px[i] = alpha_src.px[i];
}
