// lumivane-config's template commands.
//
//   lumivane-config import [--force] PATH
//                                 every value of the template into the settings, as the saver's
//                                 "lumivane PATH.lvx" does, without running the saver; a file
//                                 with none of the settings sections only with --force
//   lumivane-config export PATH   a template of the stored settings, in the layout the
//                                 Properties dialog's Save Template writes
//
// Each returns the exit status: 0, or 1 after a one-line message on standard error.
#pragma once

#include <string>

namespace lmvn {

int ImportTemplateCommand(const std::string& path, bool force);
int ExportTemplateCommand(const std::string& path);

}  // namespace lmvn
