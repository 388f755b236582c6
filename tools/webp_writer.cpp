#include "webp_writer.h"

#include <webp/encode.h>
#include <webp/mux.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "settings/catalogue.h"

namespace lmvn {

bool IsWebpName(const std::string& path) {
  constexpr std::string_view kExtension = ".webp";
  return path.size() >= kExtension.size() &&
         SameName(std::string_view(path).substr(path.size() - kExtension.size()), kExtension);
}

std::uint64_t EstimatedWebpBytes(long frames, int width, int height) {
  const auto pixels = static_cast<std::uint64_t>(std::max(width, 0)) *
                      static_cast<std::uint64_t>(std::max(height, 0));
  return static_cast<std::uint64_t>(std::max(frames, 0L)) * pixels / 32;
}

struct WebpAnimation::Encoder {
  WebPAnimEncoder* anim = nullptr;
  WebPConfig config{};
  WebPPicture picture{};
  int timestamp = 0;
  bool ready = false;
  ~Encoder() {
    WebPPictureFree(&picture);
    if (anim) WebPAnimEncoderDelete(anim);
  }
};

WebpAnimation::WebpAnimation(int width, int height) : encoder_(std::make_unique<Encoder>()) {
  Encoder& e = *encoder_;
  WebPAnimEncoderOptions options;
  if (!WebPAnimEncoderOptionsInit(&options) || !WebPConfigInit(&e.config) ||
      !WebPPictureInit(&e.picture)) {
    return;
  }
  options.anim_params.loop_count = 0;         // loop for ever
  options.anim_params.bgcolor = 0xFF000000u;  // opaque black
  // Single pixels on black: lossless keeps every one of them sharp, and costs less than lossy
  // coding would for the few pixels that change from frame to frame.
  e.config.lossless = 1;
  // The effort of the lossless search: a tenth larger than the most thorough setting, at a
  // third of its time.
  e.config.quality = 50;
  e.config.method = 4;
  e.picture.use_argb = 1;
  e.picture.width = width;
  e.picture.height = height;
  e.anim = WebPAnimEncoderNew(width, height, &options);
  e.ready = e.anim != nullptr && WebPPictureAlloc(&e.picture) != 0;
}

WebpAnimation::~WebpAnimation() = default;

bool WebpAnimation::Add(const Surface& surface, int durationMs, std::string& error) {
  Encoder& e = *encoder_;
  // The surface's memory order is R, G, B, X: imported as such, without alpha.
  if (!e.ready ||
      !WebPPictureImportRGBX(&e.picture, reinterpret_cast<const std::uint8_t*>(surface.pixels()),
                             surface.width() * 4) ||
      !WebPAnimEncoderAdd(e.anim, &e.picture, e.timestamp, &e.config)) {
    error = std::string("the WebP encoder failed: ") +
            (e.anim ? WebPAnimEncoderGetError(e.anim) : "out of memory");
    return false;
  }
  e.timestamp += std::max(durationMs, 1);
  return true;
}

bool WebpAnimation::Write(const std::string& path, std::uint64_t maxBytes, std::string& error) {
  Encoder& e = *encoder_;
  WebPData data;
  WebPDataInit(&data);
  if (!e.ready || !WebPAnimEncoderAdd(e.anim, nullptr, e.timestamp, nullptr) ||
      !WebPAnimEncoderAssemble(e.anim, &data)) {
    error = std::string("the WebP encoder failed: ") +
            (e.anim ? WebPAnimEncoderGetError(e.anim) : "out of memory");
    WebPDataClear(&data);
    return false;
  }
  if (data.size > maxBytes) {
    error = path + ": the animation came to " + std::to_string(data.size >> 20) +
            " MB, more than the " + std::to_string(maxBytes >> 20) +
            " MB allowed; nothing written (use fewer frames, --every or a smaller --size)";
    WebPDataClear(&data);
    return false;
  }
  std::FILE* file = std::fopen(path.c_str(), "wb");
  bool ok = file != nullptr && std::fwrite(data.bytes, 1, data.size, file) == data.size;
  if (file && std::fclose(file) != 0) ok = false;
  if (!ok) {
    error = path + ": " + std::strerror(errno);
    if (file) std::remove(path.c_str());  // not half a file
  }
  WebPDataClear(&data);
  return ok;
}

}  // namespace lmvn
