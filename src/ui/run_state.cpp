#include "ui/screens.h"

namespace lmvn::ui {

RunState& Run() {
  static RunState state;
  return state;
}

}  // namespace lmvn::ui
