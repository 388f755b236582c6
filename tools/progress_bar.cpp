#include "progress_bar.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string>

namespace lmvn {
namespace {

// "[#####.........] 120/480 frames, 0:03 left"
void Draw(long done, long total, double secondsLeft) {
  constexpr int kWidth = 30;
  const long whole = std::max(total, 1L);
  const auto filled = static_cast<int>(std::clamp(done, 0L, whole) * kWidth / whole);
  const auto left = static_cast<long>(std::max(secondsLeft, 0.0) + 0.5);
  std::fprintf(stderr, "\rlumivane-render: [%s%s] %ld/%ld frames, %ld:%02ld left",
               std::string(static_cast<std::size_t>(filled), '#').c_str(),
               std::string(static_cast<std::size_t>(kWidth - filled), '.').c_str(), done, total,
               left / 60, left % 60);
  std::fflush(stderr);
}

}  // namespace

ProgressBar::ProgressBar(long total)
    : total_(total), terminal_(isatty(STDERR_FILENO) == 1), start_(Clock::now()) {}

void ProgressBar::Update(long done) {
  done_ = done;
  if (!terminal_) return;
  const auto now = Clock::now();
  const double elapsed = std::chrono::duration<double>(now - start_).count();
  if (elapsed < 1.0 || (shown_ && now - lastDrawn_ < std::chrono::milliseconds(100))) return;
  lastDrawn_ = now;
  shown_ = true;
  const double perFrame = done > 0 ? elapsed / static_cast<double>(done) : 0.0;
  Draw(done, total_, perFrame * static_cast<double>(total_ - done));
}

void ProgressBar::Finish() {
  if (!shown_) return;
  shown_ = false;
  Draw(done_, total_, 0.0);
  std::fprintf(stderr, "\n");
}

}  // namespace lmvn
