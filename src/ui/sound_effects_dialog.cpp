#include "ui/screens.h"

namespace lmvn::ui {

// Not built yet: opens nothing.
void ShowSoundEffectsDialog(QWidget*) {}

}  // namespace lmvn::ui
