// lumivane-config: the saver's settings from the command line.
//
//   lumivane-config get Section.Key          the value as the saver reads it
//   lumivane-config set Section.Key VALUE    stores one value
//   lumivane-config list                     every setting, as one JSON object
//   lumivane-config reset [Section]          the factory defaults of every section (or one)
//
// Everything goes through the key catalogue, the store and the loaders that the saver uses.
// A subcommand is one row of kCommands: its name, its arguments and the function that runs it.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <limits>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "config_templates.h"
#include "json_writer.h"
#include "settings/catalogue.h"
#include "settings/loaders.h"
#include "settings/store.h"
#include "settings/value_text.h"

namespace lmvn {
namespace {

constexpr int kFailed = 1;      // the setting is unknown, or the store refused the value
constexpr int kUsageError = 2;  // the command line is wrong

using Args = std::span<const std::string>;

// Reports one line on stderr. Messages are built by appending (GCC 12 misjudges the inlined
// insert behind "text" + std::string(...) at -O3).
int Fail(int status, std::initializer_list<std::string_view> parts) {
  std::string message = "lumivane-config: ";
  for (const std::string_view part : parts) message.append(part);
  std::fprintf(stderr, "%s\n", message.c_str());
  return status;
}

// The catalogue entry of "Section.Key" (matched without regard to case); nullptr after
// reporting the error in `status`.
const KeySpec* FindSetting(const std::string& name, int& status) {
  const auto dot = name.find('.');
  if (dot == std::string::npos || dot == 0 || dot + 1 == name.size()) {
    status = Fail(kUsageError, {"'", name, "' is not a setting name (Section.Key)"});
    return nullptr;
  }
  const KeySpec* key =
      FindKey(std::string_view(name).substr(0, dot), std::string_view(name).substr(dot + 1));
  if (key == nullptr) status = Fail(kFailed, {"unknown setting ", name});
  return key;
}

std::string QualifiedName(const KeySpec& key) {
  std::string name(key.section);
  return name.append(".").append(key.name);
}

// The text `get` prints: what `set` takes back.
std::string ValueText(const SettingValue& value) {
  struct Text {
    std::string operator()(Integer v) const { return SettingText(Long{v}); }
    std::string operator()(Long v) const { return SettingText(v); }
    std::string operator()(Single v) const { return SettingText(v).value_or("0"); }
    std::string operator()(bool v) const { return v ? "1" : "0"; }
    std::string operator()(const std::string& v) const { return v; }
  };
  return std::visit(Text{}, value);
}

// Why the saver could not read `text` as `key`'s value; empty when it can. The store keeps
// any text, but one the saver would read as the default is a mistake on the command line.
std::string Unreadable(const KeySpec& key, std::string_view text) {
  text = TrimBlanks(text);
  if (text.size() > kMaxValueLength) {
    std::string why = "longer than ";
    return why.append(std::to_string(kMaxValueLength))
        .append(" characters, it would read as the default");
  }
  if (key.type == KeyType::String) return {};
  const auto number = NumberFromText(text);
  if (!number) return "not a number";
  switch (key.type) {
    case KeyType::Long:
      return CLng(*number) ? "" : "does not fit a 32-bit integer";
    case KeyType::Single:
      // A Single read falls back to its default (here NaN) for a number too large for it.
      return std::isnan(SingleFromText(text, std::numeric_limits<Single>::quiet_NaN()))
                 ? "too large"
                 : "";
    default:
      return CInt(*number) ? "" : "does not fit a 16-bit integer (-32768 to 32767)";
  }
}

std::string StoreFailure() {
  const std::string path = SettingsFilePath(kSettingsApp);
  if (path.empty()) return "no settings folder (set HOME or XDG_CONFIG_HOME)";
  std::string why = "the write to ";
  return why.append(path).append(" failed: ").append(LastWriteProblem());
}

int Get(Args args) {
  int status = 0;
  const KeySpec* key = FindSetting(args[0], status);
  if (key == nullptr) return status;
  std::printf("%s\n", ValueText(LoadSetting(*key)).c_str());
  return 0;
}

int Set(Args args) {
  int status = 0;
  const KeySpec* key = FindSetting(args[0], status);
  if (key == nullptr) return status;
  if (const std::string why = Unreadable(*key, args[1]); !why.empty()) {
    return Fail(kFailed, {"cannot set ", QualifiedName(*key), " to '", args[1], "': ", why});
  }
  if (!WriteSetting(kSettingsApp, key->section, key->name, args[1])) {
    return Fail(kFailed, {"cannot set ", QualifiedName(*key), ": ", StoreFailure()});
  }
  return 0;
}

int List(Args) {
  JsonWriter json;
  std::string_view section;
  for (const KeySpec& key : AllKeys()) {
    if (key.section != section) {
      if (!section.empty()) json.EndObject();
      section = key.section;
      json.BeginObject(section);
    }
    std::visit([&](const auto& value) { json.Field(key.name, value); }, LoadSetting(key));
  }
  std::printf("%s\n", json.Finish().c_str());
  return 0;
}

int Reset(Args args) {
  std::span<const KeySpec> keys = AllKeys();
  if (!args.empty()) {
    keys = KeysOfSection(args[0]);
    if (keys.empty()) return Fail(kFailed, {"unknown section ", args[0]});
  }
  std::vector<SettingWrite> defaults;
  for (const KeySpec& key : keys) {
    defaults.push_back({key.section, key.name, key.defaultText});
  }
  if (!WriteSettings(kSettingsApp, defaults))
    return Fail(kFailed, {"cannot reset: ", StoreFailure()});
  return 0;
}

int Import(Args args) {
  const bool force = args.size() == 2 && args[0] == "--force";
  if (args.size() == 2 && !force)
    return Fail(kUsageError, {"usage: lumivane-config import [--force] PATH"});
  return ImportTemplateCommand(args.back(), force);
}

struct Command {
  std::string_view name;
  std::string_view arguments;  // as the usage shows them
  std::size_t minArgs, maxArgs;
  int (*run)(Args);
  std::string_view summary;
};

constexpr Command kCommands[] = {
    {"get", "Section.Key", 1, 1, Get, "print the value as the saver reads it"},
    {"set", "Section.Key VALUE", 2, 2, Set, "store a value"},
    {"list", "", 0, 0, List, "print every setting as one JSON object"},
    {"reset", "[Section]", 0, 1, Reset, "store the factory defaults of every section (or one)"},
    {"import", "[--force] PATH", 1, 2, Import,
     "store every value of a template file (.lvx); --force: even one with no settings section"},
    {"export", "PATH", 1, 1, [](Args a) { return ExportTemplateCommand(std::string(a[0])); },
     "write the stored settings as a template file"},
};

std::string Usage() {
  std::string text = "usage: lumivane-config COMMAND [ARGUMENTS]\n\ncommands:\n";
  for (const Command& command : kCommands) {
    std::string line = "  ";
    line.append(command.name).append(" ").append(command.arguments);
    line.resize(std::max<std::size_t>(line.size() + 1, 28), ' ');
    text.append(line).append(command.summary).append("\n");
  }
  text +=
      "\nNames are Section.Key as in the settings file, matched without regard to case.\n"
      "Settings file: ";
  const std::string path = SettingsFilePath(kSettingsApp);
  text.append(path.empty() ? "(none: set HOME or XDG_CONFIG_HOME)" : path).append("\n");
  return text;
}

int Run(const std::vector<std::string>& argv) {
  if (argv.empty()) return Fail(kUsageError, {"no command (try --help)"});
  if (argv[0] == "--help" || argv[0] == "-h" || argv[0] == "help") {
    std::fputs(Usage().c_str(), stdout);
    return 0;
  }
  const Args args = Args(argv).subspan(1);
  for (const Command& command : kCommands) {
    if (argv[0] != command.name) continue;
    if (args.size() < command.minArgs || args.size() > command.maxArgs) {
      return Fail(kUsageError, {"usage: lumivane-config ", command.name, " ", command.arguments});
    }
    return command.run(args);
  }
  return Fail(kUsageError, {"unknown command '", argv[0], "' (try --help)"});
}

}  // namespace
}  // namespace lmvn

int main(int argc, char** argv) {
  return lmvn::Run(std::vector<std::string>(argv + 1, argv + argc));
}
