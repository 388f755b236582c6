// A progress bar for long renders, on standard error when it is a terminal.
#pragma once

#include <chrono>

namespace lmvn {

// Shows frames done of the total and the time left, once the work has taken longer than
// about a second, and only when standard error is a terminal (nothing in a pipe or a file).
// Redrawn at most ten times a second.
class ProgressBar {
 public:
  explicit ProgressBar(long total);
  ~ProgressBar() { Finish(); }
  ProgressBar(const ProgressBar&) = delete;
  ProgressBar& operator=(const ProgressBar&) = delete;

  void Update(long done);
  // Ends the bar's line, if one was shown.
  void Finish();

 private:
  using Clock = std::chrono::steady_clock;
  long total_;
  bool terminal_;
  bool shown_ = false;
  long done_ = 0;
  Clock::time_point start_, lastDrawn_;
};

}  // namespace lmvn
