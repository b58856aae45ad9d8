#include "PngFile.h"

#include <png.h>

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

#include "LumarkError.h"

namespace lumark::tool {

namespace {

constexpr std::size_t MaxPaletteColours = 256;

struct Indexed {
    std::vector<std::uint8_t> indices;  // one byte a pixel
    std::vector<std::uint8_t> palette;  // RGB triples
};

// The picture as palette indices; nothing when it holds more colours than a palette takes.
std::optional<Indexed> ToPalette(const RelationPicture& picture) {
    Indexed indexed;
    const std::size_t pixels = picture.Pixels.size() / 3;
    indexed.indices.resize(pixels);
    std::uint32_t last = 0xFFFFFFFF;
    std::uint8_t lastIndex = 0;
    std::vector<std::uint32_t> colours;
    for (std::size_t i = 0; i < pixels; ++i) {
        const std::uint8_t* rgb = &picture.Pixels[i * 3];
        const std::uint32_t colour =
            std::uint32_t{rgb[0]} << 16 | std::uint32_t{rgb[1]} << 8 | std::uint32_t{rgb[2]};
        // Runs of one colour are the rule: a cell is several pixels wide.
        if (colour != last) {
            std::size_t at = 0;
            while (at < colours.size() && colours[at] != colour) {
                ++at;
            }
            if (at == colours.size()) {
                if (colours.size() == MaxPaletteColours) {
                    return std::nullopt;
                }
                colours.push_back(colour);
                indexed.palette.insert(indexed.palette.end(), rgb, rgb + 3);
            }
            last = colour;
            lastIndex = static_cast<std::uint8_t>(at);
        }
        indexed.indices[i] = lastIndex;
    }
    return indexed;
}

std::string Encode(png_image& image, const void* rows, std::ptrdiff_t stride, const void* palette) {
    // Room for the largest PNG the picture can give, left uninitialised: the pages that the
    // far smaller real file does not reach are never touched.
    png_alloc_size_t size = PNG_IMAGE_PNG_SIZE_MAX(image);
    const std::unique_ptr<char[]> room(new char[size]);
    if (!png_image_write_to_memory(&image, room.get(), &size, 0, rows,
                                   static_cast<png_int_32>(stride), palette)) {
        const std::string message = image.message;
        png_image_free(&image);
        throw LumarkError("cannot make the PNG picture: " + message);
    }
    return std::string(room.get(), size);
}

}  // namespace

std::string EncodePng(const RelationPicture& picture) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(picture.Width);
    image.height = static_cast<png_uint_32>(picture.Height);
    // Speed before the last few bytes: the picture compresses well either way.
    image.flags = PNG_IMAGE_FLAG_FAST;
    if (const std::optional<Indexed> indexed = ToPalette(picture)) {
        image.format = PNG_FORMAT_RGB_COLORMAP;
        image.colormap_entries = static_cast<png_uint_32>(indexed->palette.size() / 3);
        return Encode(image, indexed->indices.data(), picture.Width, indexed->palette.data());
    }
    image.format = PNG_FORMAT_RGB;
    return Encode(image, picture.Pixels.data(), std::ptrdiff_t{picture.Width} * 3, nullptr);
}

}  // namespace lumark::tool
