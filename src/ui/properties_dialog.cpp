#include "ui/screens.h"

namespace lmvn::ui {

// Not built yet: opens nothing.
void ShowPropertiesDialog(QWidget*) {}

}  // namespace lmvn::ui
