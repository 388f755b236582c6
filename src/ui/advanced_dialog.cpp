#include "ui/screens.h"

namespace lmvn::ui {

// Not built yet: opens nothing.
void ShowAdvancedDialog(QWidget*) {}

}  // namespace lmvn::ui
