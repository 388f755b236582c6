#include "config_templates.h"

#include <cstdio>
#include <string_view>

#include "settings/ini_file.h"
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

int ImportTemplateCommand(const std::string& path) {
  // The saver imports a missing template as all defaults; from the command line a mistyped
  // name must not reset every setting, so the file has to be there and readable.
  IniFile file;
  switch (file.Load(path)) {
    case IniFile::LoadStatus::kMissing:
      return Fail("no template file ", path);
    case IniFile::LoadStatus::kError:
      return Fail("cannot read ", path, " (not a readable regular file)");
    case IniFile::LoadStatus::kOk:
      break;
  }
  if (!ImportTemplateFile(path)) {
    return Fail("cannot import ", path, ": the settings file could not be written");
  }
  return 0;
}

int ExportTemplateCommand(const std::string& path) {
  if (!ExportTemplateFile(path)) {
    return Fail("cannot write ", path,
                " (the folder is missing or not writable, or the file is read-only or not a "
                "regular file)");
  }
  return 0;
}

}  // namespace lmvn
