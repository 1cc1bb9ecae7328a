#include "image.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <cstdlib>

namespace standin {

namespace {

std::uint32_t crc32Table(int n) {
    std::uint32_t c = static_cast<std::uint32_t>(n);
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    return c;
}

std::uint32_t crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc = 0) {
    static std::uint32_t table[256];
    static bool ready = false;
    if (!ready) {
        for (int n = 0; n < 256; ++n) table[n] = crc32Table(n);
        ready = true;
    }
    crc = ~crc;
    for (std::size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

void putBig32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v >> 24));
    out.push_back(static_cast<std::uint8_t>(v >> 16));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
    out.push_back(static_cast<std::uint8_t>(v));
}

void putChunk(std::vector<std::uint8_t>& out, const char type[4], const std::vector<std::uint8_t>& data) {
    putBig32(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    putBig32(out, crc32(&out[start], out.size() - start));
}

}  // namespace

Comparison compareImages(const Image& actual, const Image& expected, int tolerance, std::size_t keep) {
    Comparison result;
    for (int y = 0; y < actual.height; ++y) {
        for (int x = 0; x < actual.width; ++x) {
            const std::uint8_t* a = actual.at(x, y);
            const std::uint8_t* e = expected.at(x, y);
            bool differs = false;
            for (int c = 0; c < 3; ++c) differs = differs || std::abs(int(a[c]) - int(e[c])) > tolerance;
            if (!differs) continue;
            ++result.differing;
            if (result.first.size() < keep) {
                PixelDifference d{x, y, {a[0], a[1], a[2]}, {e[0], e[1], e[2]}};
                result.first.push_back(d);
            }
        }
    }
    return result;
}

Image differenceImage(const Image& actual, const Image& expected, int tolerance) {
    Image diff = actual;
    for (int y = 0; y < actual.height; ++y) {
        for (int x = 0; x < actual.width; ++x) {
            const std::uint8_t* a = actual.at(x, y);
            const std::uint8_t* e = expected.at(x, y);
            std::uint8_t* d = diff.at(x, y);
            bool differs = false;
            for (int c = 0; c < 3; ++c) differs = differs || std::abs(int(a[c]) - int(e[c])) > tolerance;
            if (differs) {
                d[0] = 255;
                d[1] = 0;
                d[2] = 0;
            } else {
                const int grey = (a[0] + a[1] + a[2]) / 3;
                for (int c = 0; c < 3; ++c) d[c] = static_cast<std::uint8_t>(128 + grey / 4);
            }
        }
    }
    return diff;
}

std::vector<std::uint8_t> encodePng(const Image& image) {
    static const std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> out(kSignature, kSignature + 8);

    std::vector<std::uint8_t> header;
    putBig32(header, static_cast<std::uint32_t>(image.width));
    putBig32(header, static_cast<std::uint32_t>(image.height));
    header.push_back(8);  // bits per channel
    header.push_back(2);  // RGB
    header.push_back(0);  // deflate
    header.push_back(0);  // adaptive filtering (every row uses filter 0)
    header.push_back(0);  // not interlaced
    putChunk(out, "IHDR", header);

    // The raw scanlines, each led by its filter byte.
    const std::size_t rowBytes = static_cast<std::size_t>(image.width) * 3;
    std::vector<std::uint8_t> raw;
    raw.reserve((rowBytes + 1) * image.height);
    for (int y = 0; y < image.height; ++y) {
        raw.push_back(0);
        const std::uint8_t* row = image.pixels.data() + rowBytes * y;
        raw.insert(raw.end(), row, row + rowBytes);
    }

    // A zlib stream of stored blocks of at most 65535 bytes.
    std::vector<std::uint8_t> zlib = {0x78, 0x01};
    std::size_t offset = 0;
    do {
        const std::size_t len = raw.size() - offset < 65535 ? raw.size() - offset : 65535;
        const bool last = offset + len == raw.size();
        zlib.push_back(last ? 1 : 0);
        zlib.push_back(static_cast<std::uint8_t>(len));
        zlib.push_back(static_cast<std::uint8_t>(len >> 8));
        zlib.push_back(static_cast<std::uint8_t>(~len));
        zlib.push_back(static_cast<std::uint8_t>(~len >> 8));
        zlib.insert(zlib.end(), raw.begin() + static_cast<std::ptrdiff_t>(offset),
                    raw.begin() + static_cast<std::ptrdiff_t>(offset + len));
        offset += len;
    } while (offset < raw.size());
    std::uint32_t a = 1, b = 0;
    for (std::uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    putBig32(zlib, (b << 16) | a);
    putChunk(out, "IDAT", zlib);
    putChunk(out, "IEND", {});
    return out;
}

bool writePng(const std::string& path, const Image& image, std::string* error) {
    const std::vector<std::uint8_t> bytes = encodePng(image);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        *error = "cannot write " + path + ": " + std::strerror(errno);
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const bool closed = std::fclose(file) == 0;
    if (!written || !closed) {
        *error = "cannot write " + path;
        return false;
    }
    return true;
}

Image imageFromGlRows(const std::vector<std::uint8_t>& rgba, int width, int height) {
    Image image;
    image.width = width;
    image.height = height;
    image.pixels.resize(static_cast<std::size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* src = &rgba[static_cast<std::size_t>(height - 1 - y) * width * 4];
        for (int x = 0; x < width; ++x) {
            std::uint8_t* dst = image.at(x, y);
            dst[0] = src[x * 4];
            dst[1] = src[x * 4 + 1];
            dst[2] = src[x * 4 + 2];
        }
    }
    return image;
}

}  // namespace standin
