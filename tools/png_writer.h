// Writes a surface to a PNG file.
#pragma once

#include <string>

#include "render/surface.h"

namespace lmvn {

// True when `path` ends in ".png", in any case.
bool IsPngName(const std::string& path);

// True when the whole file was written. On failure the message says why.
bool WritePng(const Surface& surface, const std::string& path, std::string& error);

}  // namespace lmvn
