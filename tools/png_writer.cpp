#include "png_writer.h"

#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

#include "settings/catalogue.h"

namespace lmvn {
namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

bool IsPngName(const std::string& path) {
  constexpr std::string_view kExtension = ".png";
  return path.size() >= kExtension.size() &&
         SameName(std::string_view(path).substr(path.size() - kExtension.size()), kExtension);
}

bool WritePng(const Surface& surface, const std::string& path, std::string& error) {
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
  if (!file) {
    error = path + ": " + std::strerror(errno);
    return false;
  }
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    error = "out of memory";
    return false;
  }
  // Rows point straight into the surface: its memory order is R, G, B, X, and the filler
  // byte is stripped on the way out.
  std::vector<png_bytep> rows(static_cast<std::size_t>(surface.height()));
  for (std::size_t y = 0; y < rows.size(); ++y) {
    rows[y] = reinterpret_cast<png_bytep>(const_cast<std::uint32_t*>(
        surface.pixels() + y * static_cast<std::size_t>(surface.width())));
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    error = path + ": the PNG could not be written";
    return false;
  }
  png_init_io(png, file.get());
  png_set_IHDR(png, info, static_cast<png_uint_32>(surface.width()),
               static_cast<png_uint_32>(surface.height()), 8, PNG_COLOR_TYPE_RGB,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  png_set_filler(png, 0, PNG_FILLER_AFTER);
  png_write_image(png, rows.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  if (std::fflush(file.get()) != 0 || std::ferror(file.get())) {
    error = path + ": " + std::strerror(errno);
    return false;
  }
  return true;
}

}  // namespace lmvn
