#include "config_templates.h"

#include <cstdio>
#include <string_view>

#include "settings/store.h"
#include "settings/templates.h"

namespace lmvn {
namespace {

int Fail(std::string_view what, const std::string& path, std::string_view why = "") {
  std::string message = "lumivane-config: ";
  message.append(what).append(path).append(why).append("\n");
  std::fputs(message.c_str(), stderr);
  return 1;
}

}  // namespace

int ImportTemplateCommand(const std::string& path, bool force) {
  // The saver imports whatever it is given; from the command line a mistyped name or a file
  // that is no template must not reset every setting, so these are refused (unless forced).
  const TemplateFileCheck check = CheckTemplateFile(path);
  if (check == TemplateFileCheck::kNoKnownSection && !force) {
    return Fail(TemplateFileProblem(check, path), "", " (--force imports it anyway)");
  }
  if (check == TemplateFileCheck::kMissing || check == TemplateFileCheck::kUnreadable) {
    return Fail(TemplateFileProblem(check, path), "");
  }
  if (!ImportTemplateFile(path)) {
    return Fail("cannot import ", path,
                ": the settings file could not be written: " + LastWriteProblem());
  }
  return 0;
}

int ExportTemplateCommand(const std::string& path) {
  if (!ExportTemplateFile(path)) {
    return Fail("cannot write ", path, ": " + LastWriteProblem());
  }
  return 0;
}

}  // namespace lmvn
