// PNG reader on libpng. Every image becomes 8-bit RGB or RGBA: 16-bit channels are
// stripped, palettes and small grey depths expanded, a transparency chunk becomes
// alpha, grey becomes RGB; a background chunk is composited onto, and a gamma chunk
// is corrected for a screen gamma of 2.2. libpng then orders each pixel blue, green,
// red, alpha (opaque where the image has none), the surface's own layout, and decodes
// straight into the surface's pixels.
//
// Every size in the file is bounded before anything is allocated by it: the image's width
// and height by the largest image (libpng's user limits refuse the header), and the data
// of any chunk but the image data by kChunkLimit, far above what the text, colour and
// profile chunks of a real image hold. libpng itself only warns about such a chunk and
// then allocates what it claims, so our read function refuses it as its header passes.
// libpng also bounds what a compressed text or profile chunk inflates to by the same
// limit.
//
// libpng reports errors by longjmp, so the library is driven from small functions that
// keep their state in a plain structure and own no C++ objects; allocation and the
// fatal messages happen outside them.
#include <png.h>

#include <cctype>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "io/console.h"
#include "io/phile.h"
#include "io/surface.h"

namespace mirva {

namespace {

constexpr png_uint_32 kChunkLimit = 4 << 20;

struct PngRead {
    std::FILE* file = nullptr;
    png_structp png = nullptr;
    png_infop info = nullptr;
    char message[256] = {};
    png_uint_32 width = 0, height = 0;
    std::size_t rowBytes = 0;
    png_bytepp rows = nullptr;
    // A chunk refused for its size: its type and the length it claims.
    char bigChunk[5] = {};
    png_uint_32 bigChunkLength = 0;
};

void onError(png_structp png, png_const_charp message)
{
    auto* read = static_cast<PngRead*>(png_get_error_ptr(png));
    std::snprintf(read->message, sizeof read->message, "%s", message);
    png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp message)
{
    Console::print("libpng: %s\n", message);
}

// Every byte libpng reads passes here, each chunk header as one read of 8 bytes.
void readData(png_structp png, png_bytep data, png_size_t length)
{
    auto* r = static_cast<PngRead*>(png_get_io_ptr(png));
    if (std::fread(data, 1, length, r->file) != length)
        png_error(png, "Read Error");
    if (length != 8 || (png_get_io_state(png) & PNG_IO_MASK_LOC) != PNG_IO_CHUNK_HDR)
        return;
    // A header with a name that is no chunk name is left to libpng's own check.
    for (int i = 4; i < 8; ++i)
        if (!std::isalpha(data[i]))
            return;
    const png_uint_32 size = png_get_uint_32(data);
    if (size > kChunkLimit && std::memcmp(data + 4, "IDAT", 4) != 0) {
        std::memcpy(r->bigChunk, data + 4, 4);
        r->bigChunkLength = size;
        png_error(png, "chunk larger than the limit");
    }
}

// Reads the header and sets up the transformations. False on any failure.
bool readHeader(PngRead* r)
{
    png_byte signature[8];
    if (std::fread(signature, 1, 8, r->file) != 8 || png_sig_cmp(signature, 0, 8) != 0)
        return false;
    r->png = png_create_read_struct(PNG_LIBPNG_VER_STRING, r, onError, onWarning);
    if (!r->png)
        return false;
    r->info = png_create_info_struct(r->png);
    if (!r->info)
        return false;
    if (setjmp(png_jmpbuf(r->png)))
        return false;

    png_set_user_limits(r->png, static_cast<png_uint_32>(Surface::largestImageWidth()),
                        static_cast<png_uint_32>(Surface::largestImageHeight()));
    png_set_chunk_malloc_max(r->png, kChunkLimit);
    png_set_read_fn(r->png, r, readData);
    png_set_sig_bytes(r->png, 8);
    png_read_info(r->png, r->info);

    const int depth = png_get_bit_depth(r->png, r->info);
    const int colour = png_get_color_type(r->png, r->info);
    if (depth == 16)
        png_set_strip_16(r->png);
    if (colour == PNG_COLOR_TYPE_PALETTE)
        png_set_palette_to_rgb(r->png);
    if (colour == PNG_COLOR_TYPE_GRAY && depth < 8)
        png_set_expand_gray_1_2_4_to_8(r->png);
    if (png_get_valid(r->png, r->info, PNG_INFO_tRNS))
        png_set_tRNS_to_alpha(r->png);
    if (colour == PNG_COLOR_TYPE_GRAY || colour == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(r->png);
    png_color_16p background = nullptr;
    if (png_get_bKGD(r->png, r->info, &background))
        png_set_background(r->png, background, PNG_BACKGROUND_GAMMA_FILE, 1, 1.0);
    double gamma = 0.0;
    if (png_get_gAMA(r->png, r->info, &gamma))
        png_set_gamma(r->png, 2.2, gamma);
    png_set_bgr(r->png);
    png_set_add_alpha(r->png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(r->png);
    png_read_update_info(r->png, r->info);

    r->width = png_get_image_width(r->png, r->info);
    r->height = png_get_image_height(r->png, r->info);
    r->rowBytes = png_get_rowbytes(r->png, r->info);
    return png_get_channels(r->png, r->info) == 4 && r->rowBytes == r->width * std::size_t{4};
}

// Reads every row into the table prepared by the caller, then the end of the file.
bool readImage(PngRead* r)
{
    if (setjmp(png_jmpbuf(r->png)))
        return false;
    png_read_image(r->png, r->rows);
    png_read_end(r->png, nullptr);
    return true;
}

// Ends the program after a failed read, naming the file and, when a chunk was refused
// for its size, the chunk.
[[noreturn]] void fail(const PngRead& read, const std::string& name)
{
    if (read.bigChunk[0])
        Console::fatal(formatText("Surface: PNG '%s' has a %s chunk of %u bytes, more than the %u a chunk may hold",
                                  name.c_str(), read.bigChunk, static_cast<unsigned>(read.bigChunkLength),
                                  static_cast<unsigned>(kChunkLimit)));
    if (read.message[0])
        Console::print("libpng: %s\n", read.message);
    Console::fatal("couldn't load '" + name + "'");
}

struct PngReadCleanup {
    PngRead& r;
    ~PngReadCleanup()
    {
        if (r.png)
            png_destroy_read_struct(&r.png, r.info ? &r.info : nullptr, nullptr);
        if (r.file)
            std::fclose(r.file);
    }
};

}  // namespace

void SurfaceReaders::readPng(Surface& surface, const std::string& name)
{
    Phile::record(name);

    PngRead read;
    PngReadCleanup cleanup{read};
    read.file = std::fopen(name.c_str(), "rb");
    const bool headerRead = read.file && readHeader(&read);
    // libpng keeps the header's size even when its limits refuse it.
    if (read.png && read.info)
        refuseOversize(name, png_get_image_width(read.png, read.info), png_get_image_height(read.png, read.info));
    if (!headerRead)
        fail(read, name);

    const int width = static_cast<int>(read.width);
    const int height = static_cast<int>(read.height);
    std::vector<std::uint32_t> pixels;
    std::vector<png_bytep> rows;
    try {
        pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
        rows.resize(read.height);
    } catch (const std::bad_alloc&) {
        Console::fatal("Visual PNG: out of memory");
    }
    for (png_uint_32 y = 0; y < read.height; ++y)
        rows[y] = reinterpret_cast<png_bytep>(pixels.data() + static_cast<std::size_t>(y) * read.width);
    read.rows = rows.data();
    if (!readImage(&read))
        fail(read, name);
    surface.adopt(std::move(pixels), width, height);
}

}  // namespace mirva

namespace mirva {

void Surface::savePng(const std::string& name) const
{
    // The pixels lie in memory as blue, green, red, alpha: libpng's BGRA layout.
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width_);
    image.height = static_cast<png_uint_32>(height_);
    image.format = PNG_FORMAT_BGRA;
    if (empty() || !png_image_write_to_file(&image, name.c_str(), 0, pixels_.data(), width_ * 4, nullptr))
        Console::fatal(formatText("Surface::savePng - couldn't write '%s'%s%s", name.c_str(),
                                  image.message[0] ? ": " : "", image.message));
    png_image_free(&image);
}

}  // namespace mirva
