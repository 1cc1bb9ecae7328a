// RGB images read back from the framebuffer, their comparison, and PNG output.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace standin {

// 8-bit RGB, top row first.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;  // width * height * 3

    bool empty() const { return width == 0 || height == 0; }
    const std::uint8_t* at(int x, int y) const { return &pixels[(static_cast<std::size_t>(y) * width + x) * 3]; }
    std::uint8_t* at(int x, int y) { return &pixels[(static_cast<std::size_t>(y) * width + x) * 3]; }
};

// An RGB image, top row first, from GL's RGBA rows, which run bottom up.
Image imageFromGlRows(const std::vector<std::uint8_t>& rgba, int width, int height);

struct PixelDifference {
    int x;
    int y;  // from the top
    std::uint8_t actual[3];
    std::uint8_t expected[3];
};

struct Comparison {
    long differing = 0;                        // pixels with a channel apart by more than the tolerance
    std::vector<PixelDifference> first;        // the first few, in reading order
};

// Compares two images of the same size; keeps at most `keep` differences.
Comparison compareImages(const Image& actual, const Image& expected, int tolerance, std::size_t keep);

// An image that shows where two images differ: differing pixels red, the rest a faded copy of
// `actual`.
Image differenceImage(const Image& actual, const Image& expected, int tolerance);

// Encodes an RGB PNG with stb_image_write; empty when it cannot.
std::vector<std::uint8_t> encodePng(const Image& image);

// Paths are UTF-8 (see tool_io.h).
// Reads the PNG at `path` as RGB; false with a message in *error when it cannot.
bool readPng(const std::string& path, Image* image, std::string* error);

// Writes `image` as PNG to `path`; false with a message in *error when it cannot.
bool writePng(const std::string& path, const Image& image, std::string* error);

}  // namespace standin
