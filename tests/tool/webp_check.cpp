// Reads an animated WebP back with libwebp's demuxer and checks it against what the render
// asked for: the number of frames, their size and duration, and the last frame's pixels against
// a PNG still of the same render.
// Usage: webp_check FILE.webp FRAMES WIDTH HEIGHT DURATION_MS LAST.png
#include <png.h>
#include <webp/demux.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

int Fail(const std::string& why) {
  std::fprintf(stderr, "webp_check: %s\n", why.c_str());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 7)
    return Fail("usage: webp_check FILE.webp FRAMES WIDTH HEIGHT DURATION_MS LAST.png");
  std::ifstream in(argv[1], std::ios::binary);
  const std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(in), {}};
  const int frames = std::atoi(argv[2]), width = std::atoi(argv[3]), height = std::atoi(argv[4]);
  const int duration = std::atoi(argv[5]);

  png_image png{};
  png.version = PNG_IMAGE_VERSION;
  std::vector<unsigned char> still;
  if (png_image_begin_read_from_file(&png, argv[6])) {
    png.format = PNG_FORMAT_RGBA;
    still.resize(PNG_IMAGE_SIZE(png));
    if (!png_image_finish_read(&png, nullptr, still.data(), 0, nullptr)) still.clear();
  }
  if (still.empty()) return Fail(std::string(argv[6]) + ": not a PNG");

  const WebPData data{bytes.data(), bytes.size()};
  WebPAnimDecoderOptions options;
  WebPAnimDecoderOptionsInit(&options);
  options.color_mode = MODE_RGBA;
  WebPAnimDecoder* decoder = WebPAnimDecoderNew(&data, &options);
  WebPAnimInfo info;
  if (!decoder || !WebPAnimDecoderGetInfo(decoder, &info)) return Fail("not an animated WebP");
  std::string problem;
  if (static_cast<int>(info.frame_count) != frames ||
      static_cast<int>(info.canvas_width) != width ||
      static_cast<int>(info.canvas_height) != height) {
    problem = std::to_string(info.frame_count) + " frames of " + std::to_string(info.canvas_width) +
              "x" + std::to_string(info.canvas_height);
  }
  uint8_t* pixels = nullptr;
  int timestamp = 0, previous = 0;
  while (problem.empty() && WebPAnimDecoderHasMoreFrames(decoder)) {
    if (!WebPAnimDecoderGetNext(decoder, &pixels, &timestamp)) problem = "a frame does not decode";
    if (timestamp - previous != duration) {
      problem = "a frame of " + std::to_string(timestamp - previous) + " ms";
    }
    previous = timestamp;
  }
  if (problem.empty() && (png.width != info.canvas_width || png.height != info.canvas_height ||
                          !std::equal(still.begin(), still.end(), pixels))) {
    problem = "the last frame differs from the PNG";
  }
  WebPAnimDecoderDelete(decoder);
  return problem.empty() ? 0 : Fail(problem);
}
