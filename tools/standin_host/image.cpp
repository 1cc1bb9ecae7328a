#include "image.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <cstdlib>

#include <stb_image.h>
#include <stb_image_write.h>

#include "tool_io.h"

namespace standin {

namespace {

// stb_image_write hands the encoded bytes over in pieces.
void appendBytes(void* context, void* data, int size) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(context);
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    out->insert(out->end(), bytes, bytes + size);
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
    std::vector<std::uint8_t> out;
    if (image.empty()) return out;
    stbi_write_png_to_func(&appendBytes, &out, image.width, image.height, 3, image.pixels.data(), image.width * 3);
    return out;
}

bool readPng(const std::string& path, Image* image, std::string* error) {
    std::FILE* file = tools::openFile(path, "rb");
    if (file == nullptr) {
        *error = "cannot read " + path + ": " + std::strerror(errno);
        return false;
    }
    int width = 0, height = 0, channels = 0;
    unsigned char* pixels = stbi_load_from_file(file, &width, &height, &channels, 3);
    std::fclose(file);
    if (pixels == nullptr) {
        *error = "cannot read " + path + " as a PNG picture: " + stbi_failure_reason();
        return false;
    }
    image->width = width;
    image->height = height;
    image->pixels.assign(pixels, pixels + static_cast<std::size_t>(width) * height * 3);
    stbi_image_free(pixels);
    return true;
}

bool writePng(const std::string& path, const Image& image, std::string* error) {
    const std::vector<std::uint8_t> bytes = encodePng(image);
    if (bytes.empty()) {
        *error = "cannot encode " + path + " as PNG";
        return false;
    }
    std::FILE* file = tools::openFile(path, "wb");
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
