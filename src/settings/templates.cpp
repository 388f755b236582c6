#include "settings/templates.h"

#include <charconv>
#include <cmath>
#include <deque>
#include <optional>

#include "settings/ini_file.h"
#include "settings/store.h"
#include "settings/transfers.h"
#include "settings/value_text.h"

namespace lmvn {
namespace {

bool IsContinuationByte(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// At most 254 bytes; a UTF-8 character that the limit would split is left out whole.
std::string CutToTemplateLimit(std::string text) {
  if (text.size() <= kMaxTemplateValueLength) return text;
  std::size_t end = kMaxTemplateValueLength;
  for (int back = 0; back < 3 && end > 0 && IsContinuationByte(text[end]); ++back) --end;
  if (IsContinuationByte(text[end])) end = kMaxTemplateValueLength;  // not UTF-8: cut plainly
  text.resize(end);
  return text;
}

// A loaded template file, read by the template rules.
class TemplateReader {
 public:
  explicit TemplateReader(const std::string& path) { file_.Load(path); }
  std::string Read(std::string_view section, std::string_view key, std::string_view def) const {
    const auto value = file_.Get(section, key);
    return value ? CutToTemplateLimit(*value) : std::string(def);
  }
  std::string Read(std::string_view section, const KeySpec& key) const {
    return Read(section, key.name, TemplateDefault(key));
  }

 private:
  IniFile file_;
};

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// The number at the start of `text`; std::nullopt when it is too large for a double.
std::optional<double> ParseLeadingNumber(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  std::string number;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    if (text[i] == '-') number.push_back('-');
    ++i;
  }
  // The decimal magnitude (exponent of the leading digit, plus one) tells a number too large
  // for a double from one too small when the conversion fails.
  long significant = 0, fractionZeros = 0, digits = 0;
  for (; i < text.size() && IsDigit(text[i]); ++i, ++digits) {
    if (significant > 0 || text[i] != '0') ++significant;
    number.push_back(text[i]);
  }
  if (i < text.size() && text[i] == '.') {
    // from_chars takes neither ".5" nor "5.": both get their zero.
    if (digits == 0) number.push_back('0');
    number.push_back('.');
    const long integerDigits = digits;
    bool nonZero = false;
    for (++i; i < text.size() && IsDigit(text[i]); ++i, ++digits) {
      nonZero = nonZero || text[i] != '0';
      if (!nonZero) ++fractionZeros;
      number.push_back(text[i]);
    }
    if (digits == integerDigits) number.push_back('0');
  }
  if (digits == 0) return 0.0;
  long exponent = 0;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    std::size_t j = i + 1;
    const bool negative = j < text.size() && text[j] == '-';
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
    if (j < text.size() && IsDigit(text[j])) {
      number.push_back('e');
      if (negative) number.push_back('-');
      for (; j < text.size() && IsDigit(text[j]); ++j) {
        number.push_back(text[j]);
        if (exponent < 1000000) exponent = exponent * 10 + (text[j] - '0');
      }
      if (negative) exponent = -exponent;
    }
  }
  double value = 0;
  const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
  if (result.ec == std::errc::result_out_of_range) {
    const long magnitude = (significant > 0 ? significant : -fractionZeros) + exponent;
    if (magnitude > 0) return std::nullopt;
    return 0.0;
  }
  if (result.ec != std::errc{}) return 0.0;
  return value;
}

// How the import turns a template text into the text it stores; std::nullopt to store nothing
// (a number too large to have a text).
std::optional<std::string> ImportText(const KeySpec& key, const std::string& text) {
  if (SameName(key.section, kSectionGeneral) &&
      (SameName(key.name, "PixelSize") || SameName(key.name, "FocalLength") ||
       SameName(key.name, "LockMessage"))) {
    return text;
  }
  const auto number = LeadingNumber(text);
  if (!number) return std::nullopt;
  if (SameName(key.section, kSectionGeneral) && SameName(key.name, "AnimationType")) {
    return SettingText(std::floor(*number) + 0.0);
  }
  return SettingText(*number);
}

}  // namespace

std::string TemplateDefault(const KeySpec& key) {
  if (SameName(key.section, kSectionAdvanced) && SameName(key.name, "Adv_EffectCycle")) {
    return "2500";
  }
  return std::string(key.defaultText);
}

std::string ReadTemplateValue(const std::string& file, std::string_view section,
                              std::string_view key, std::string_view def) {
  return TemplateReader(file).Read(section, key, def);
}

bool WriteTemplateValue(const std::string& file, std::string_view section, std::string_view key,
                        std::string_view value) {
  IniFile ini;
  ini.Load(file);
  return ini.Set(section, key, value) && ini.Save(file);
}

bool SaveDialogAsTemplate(const DialogValues& values, const std::string& path) {
  IniFile ini;
  ini.Load(path);
  bool ok = ini.Set(kTemplateAdminSection, "Module", kTemplateModule) &&
            ini.Set(kTemplateAdminSection, "Version", kTemplateVersion);
  for (const TransferSection& section : TransferOrder()) {
    const bool fromStore = SameName(section.section, kSectionAdvanced);
    for (const KeySpec* key : section.keys) {
      std::string text;
      if (fromStore) {
        text = ReadSettingString(kSettingsApp, section.section, key->name, TemplateDefault(*key));
      } else if (values.Has(section.section, key->name)) {
        text = values.Get(section.section, key->name);
      } else {
        text = std::string(key->defaultText);
      }
      ok = ini.Set(section.section, key->name, text) && ok;
    }
  }
  return ini.Save(path) && ok;
}

bool LoadTemplateIntoDialog(DialogValues& values, const std::string& path) {
  const TemplateReader reader(path);
  DialogValues read = values;
  std::deque<std::string> advanced;  // kept for the batch write below
  std::vector<SettingWrite> writes;
  for (const TransferSection& section : TransferOrder()) {
    const bool toStore = SameName(section.section, kSectionAdvanced);
    for (const KeySpec* key : section.keys) {
      if (!key->loaded) continue;  // Grav_StarMass keeps what the field holds
      std::string text = reader.Read(section.section, *key);
      if (toStore) {
        writes.push_back({section.section, key->name, advanced.emplace_back(std::move(text))});
      } else {
        read.Set(section.section, key->name, text);
      }
    }
  }
  // The fields change only when the Advanced values reached the store.
  if (!WriteSettings(kSettingsApp, writes)) return false;
  values = std::move(read);
  return true;
}

bool ImportTemplateFile(const std::string& path) {
  const TemplateReader reader(path);
  std::deque<std::string> texts;  // kept for the batch write below
  std::vector<SettingWrite> writes;
  for (const TransferSection& section : TransferOrder()) {
    for (const KeySpec* key : section.keys) {
      if (!key->loaded) continue;  // Grav_StarMass is not imported
      auto text = ImportText(*key, reader.Read(section.section, *key));
      if (text)
        writes.push_back({section.section, key->name, texts.emplace_back(std::move(*text))});
    }
  }
  // One replacement of the settings file: the whole template is imported, or nothing.
  return WriteSettings(kSettingsApp, writes);
}

TemplateFileCheck CheckTemplateFile(const std::string& path) {
  IniFile file;
  switch (file.Load(path)) {
    case IniFile::LoadStatus::kMissing:
      return TemplateFileCheck::kMissing;
    case IniFile::LoadStatus::kError:
      return TemplateFileCheck::kUnreadable;
    case IniFile::LoadStatus::kOk:
      break;
  }
  for (const TransferSection& section : TransferOrder()) {
    if (file.HasSection(section.section)) return TemplateFileCheck::kUsable;
  }
  return TemplateFileCheck::kNoKnownSection;
}

std::string TemplateFileProblem(TemplateFileCheck check, const std::string& path) {
  std::string line;
  switch (check) {
    case TemplateFileCheck::kUsable:
      break;
    case TemplateFileCheck::kMissing:
      line.append("no template file ").append(path);
      break;
    case TemplateFileCheck::kUnreadable:
      line.append("cannot read ").append(path).append(" (not a readable regular file)");
      break;
    case TemplateFileCheck::kNoKnownSection:
      line.append("no settings section in ").append(path);
      break;
  }
  return line;
}

std::string ImportTemplateFromCommandLine(const std::string& path) {
  const TemplateFileCheck check = CheckTemplateFile(path);
  std::string line = TemplateFileProblem(check, path);
  if (check == TemplateFileCheck::kMissing || check == TemplateFileCheck::kUnreadable) {
    return line.append("; the stored settings are kept");
  }
  if (!ImportTemplateFile(path)) {
    if (!line.empty()) line.append("; ");
    return line.append("the settings file could not be written");
  }
  if (!line.empty()) line.append("; every setting took its template default");
  return line;
}

bool ExportTemplateFile(const std::string& path) {
  DialogValues values;
  for (const TransferSection& section : TransferOrder()) {
    for (const KeySpec* key : section.keys) {
      values.Set(section.section, key->name,
                 ReadSettingString(kSettingsApp, section.section, key->name, key->defaultText));
    }
  }
  return SaveDialogAsTemplate(values, path);
}

std::string& CurrentTemplatePath() {
  static std::string path;
  return path;
}

std::optional<double> LeadingNumber(std::string_view text) {
  const auto number = ParseLeadingNumber(text);
  if (!number) return std::nullopt;
  return *number + 0.0;  // no "-0"
}

bool IsTemplatePath(std::string_view argument) {
  return argument.size() >= 4 && SameName(argument.substr(argument.size() - 4), ".lvx");
}

}  // namespace lmvn
