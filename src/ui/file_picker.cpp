#include "ui/screens.h"

namespace lmvn::ui {

// Not built yet: picks nothing.
QString PickFile(QWidget*, bool, const QString&, const QString&) {
  return {};
}

}  // namespace lmvn::ui
