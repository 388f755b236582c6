#include "ui/screens.h"

namespace lmvn::ui {

// Not built yet: opens nothing.
void ShowWelcomeScreen(QWidget*, bool) {}

}  // namespace lmvn::ui
