#include "ui/screens.h"

namespace lmvn::ui {

// Not built yet: opens nothing.
void ShowPasswordDialog(QWidget*) {}

}  // namespace lmvn::ui
