#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "settings/catalogue.h"
#include "settings/store.h"
#include "settings/templates.h"
#include "settings/transfers.h"
#include "settings_test_util.h"

namespace lmvn {
namespace {

using namespace std::string_literals;

class TemplatesTest : public testing::SettingsTest {
 protected:
  std::string Template(const std::string& name = "look.lvx") const { return root_ / name; }
  void PutTemplate(const std::string& text, const std::string& name = "look.lvx") const {
    std::ofstream(Template(name), std::ios::binary) << text;
  }
  std::string Stored(std::string_view section, std::string_view key) const {
    return ReadSettingString(kSettingsApp, section, key, "<missing>");
  }
};

// A distinct value for every field, so that a field read into the wrong key shows.
DialogValues EveryFieldSet() {
  DialogValues values;
  int n = 1;
  for (const TransferSection& section : TransferOrder()) {
    for (const KeySpec* key : section.keys) {
      values.Set(section.section, key->name, std::to_string(n++));
    }
  }
  values.Set(kSectionGeneral, "LockMessage", "Gone fishing = back soon");
  return values;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST_F(TemplatesTest, SavedTemplateOpensIdenticallyAndRestoresTheAdvancedValues) {
  const char* advanced[][2] = {{"Adv_TimeDelay", "40"},   {"Adv_EffectCycle", "900"},
                               {"Adv_PerfMult", "2.5"},   {"Adv_PickEffects", "7"},
                               {"Adv_WindowResize", "1"}, {"Adv_HueStart", "120"}};
  for (const auto& [key, value] : advanced)
    WriteSetting(kSettingsApp, kSectionAdvanced, key, value);
  const DialogValues saved = EveryFieldSet();
  ASSERT_TRUE(SaveDialogAsTemplate(saved, Template()));

  // The store moves on; opening the template brings back what it held at saving time.
  for (const auto& [key, value] : advanced) WriteSetting(kSettingsApp, kSectionAdvanced, key, "3");
  DialogValues opened;
  opened.Set(kSectionGravityWell, "Grav_StarMass", "typed");
  LoadTemplateIntoDialog(opened, Template());

  for (const TransferSection& section : TransferOrder()) {
    if (SameName(section.section, kSectionAdvanced)) continue;
    for (const KeySpec* key : section.keys) {
      if (!key->loaded) continue;
      EXPECT_EQ(opened.Get(section.section, key->name), saved.Get(section.section, key->name))
          << section.section << "." << key->name;
    }
  }
  EXPECT_EQ(opened.Get(kSectionGravityWell, "Grav_StarMass"), "typed");  // not read
  for (const auto& [key, value] : advanced) EXPECT_EQ(Stored(kSectionAdvanced, key), value) << key;

  // The layout: Admin first, then the sections and keys in transfer order.
  const auto lines = Lines(FileText(Template()));
  std::vector<std::string> expected = {"[Admin]", "Module=3D Sparkloom", "Version=2.0"};
  for (const TransferSection& section : TransferOrder()) {
    // Appended, not summed: GCC 12 misjudges the inlined insert of "text" + string at -O3.
    expected.push_back(std::string("[").append(section.section).append("]"));
    for (const KeySpec* key : section.keys) {
      const std::string value =
          SameName(section.section, kSectionAdvanced)
              ? ReadSettingString(kSettingsApp, section.section, key->name, "")
              : saved.Get(section.section, key->name);
      expected.push_back(std::string(key->name).append("=").append(value));
    }
  }
  std::vector<std::string> nonBlank;
  for (const auto& line : lines) {
    if (!line.empty()) nonBlank.push_back(line);
  }
  EXPECT_EQ(nonBlank, expected);
}

TEST_F(TemplatesTest, TemplateWithoutAdvancedTurnsCyclingOnWhenOpened) {
  PutTemplate("[General]\nAnimationType=2\n");
  WriteSetting(kSettingsApp, kSectionAdvanced, "Adv_EffectCycle", "0");
  WriteSetting(kSettingsApp, kSectionAdvanced, "Adv_PickEffects", "3");
  DialogValues values;
  LoadTemplateIntoDialog(values, Template());
  EXPECT_EQ(Stored(kSectionAdvanced, "Adv_EffectCycle"), "2500");
  EXPECT_EQ(Stored(kSectionAdvanced, "Adv_PickEffects"), "249");
  EXPECT_EQ(values.Get(kSectionGeneral, "AnimationType"), "2");
  EXPECT_EQ(values.Get(kSectionFireworks, "FireWorks"),
            FindKey(kSectionFireworks, "FireWorks")->defaultText);
}

TEST_F(TemplatesTest, ImportConvertsValuesAndFindsNamesInAnyCase) {
  PutTemplate(
      "[general]\nANIMATIONTYPE=3.9 or so\nPixelSize= 4 px\nFocalLength=2.50\n"
      "LockMessage=  Back at 5  \n"
      "[ADVANCED]\nadv_perfmult=2.5x\nAdv_WindowResize=1\n"
      "[Fireworks]\nfireworks=12 shells\nFireSparks=many\nFireGravity=-1.5e1\n"
      "FireLength=1e999\n"
      "[GravityWell]\nGrav_StarMass=42\n");
  WriteSetting(kSettingsApp, kSectionFireworks, "FireLength", "77");
  WriteSetting(kSettingsApp, kSectionGravityWell, "Grav_StarMass", "kept");
  ASSERT_TRUE(ImportTemplateFile(Template()));
  // PixelSize is copied as text; Adv_EffectCycle takes the template default, Galaxy_Stars its
  // own; FireLength (no number to store) is left as it was.
  const std::string_view cases[][3] = {
      {kSectionGeneral, "AnimationType", "3"},       {kSectionGeneral, "PixelSize", "4 px"},
      {kSectionGeneral, "FocalLength", "2.50"},      {kSectionGeneral, "LockMessage", "Back at 5"},
      {kSectionAdvanced, "Adv_PerfMult", "2.5"},     {kSectionAdvanced, "Adv_WindowResize", "1"},
      {kSectionAdvanced, "Adv_EffectCycle", "2500"}, {kSectionFireworks, "FireWorks", "12"},
      {kSectionFireworks, "FireSparks", "0"},        {kSectionFireworks, "FireGravity", "-15"},
      {kSectionFireworks, "FireLength", "77"},       {kSectionGravityWell, "Grav_StarMass", "kept"},
      {kSectionGalaxy, "Galaxy_Stars", "2500"}};
  for (const auto& [section, key, value] : cases) EXPECT_EQ(Stored(section, key), value) << key;
}

TEST(Templates, LeadingNumber) {
  const std::pair<const char*, std::optional<double>> cases[] = {
      {"12 shells", 12.0}, {"  -1.5e2x", -150.0}, {"+.5", 0.5}, {"7.e", 7.0},
      {"3e+", 3.0},        {"shells", 0.0},       {"", 0.0},    {"-", 0.0},
      {"1e-999", 0.0},     {"1e999", {}}};
  for (const auto& [text, number] : cases) EXPECT_EQ(LeadingNumber(text), number) << text;
  EXPECT_EQ(LeadingNumber(std::string(400, '9')), std::nullopt);
  EXPECT_FALSE(std::signbit(*LeadingNumber("-0")));
}

// Missing, unreadable or settings-free files: opened in the dialog or imported, every key
// takes its template default. "lumivane FILE.lvx" keeps the stored settings for a path that is
// no file, and imports a file with no settings section with a note.
TEST_F(TemplatesTest, MissingUnreadableOrSettingsFreeFiles) {
  std::filesystem::create_directory(Template("folder.lvx"));
  PutTemplate("\0\x01\xff[General\nAnimationType\n=4\n"s, "junk.lvx");
  PutTemplate("[Notes]\nFireWorks=3\n", "notes.lvx");
  PutTemplate("[fireworks]\nFireWorks=7\n", "good.lvx");
  const struct {
    const char *name, *note, *fireWorks;  // the command line's note, and FireWorks after it
  } cases[] = {{"absent.lvx", "no template file", "99"},
               {"folder.lvx", "cannot read", "99"},
               {"junk.lvx", "no settings section", "16"},
               {"notes.lvx", "no settings section", "16"},
               {"good.lvx", "", "7"}};
  for (const auto& c : cases) {
    WriteSetting(kSettingsApp, kSectionFireworks, "FireWorks", "99");
    const std::string note = ImportTemplateFromCommandLine(Template(c.name));
    EXPECT_TRUE(*c.note ? note.starts_with(c.note) : note.empty()) << c.name << ": " << note;
    EXPECT_EQ(Stored(kSectionFireworks, "FireWorks"), c.fireWorks) << c.name;
    if (*c.note == '\0') continue;
    WriteSetting(kSettingsApp, kSectionAdvanced, "Adv_EffectCycle", "0");
    DialogValues values;
    LoadTemplateIntoDialog(values, Template(c.name));
    EXPECT_EQ(values.Get(kSectionGeneral, "AnimationType"), "0") << c.name;
    EXPECT_EQ(values.Get(kSectionGalaxy, "Galaxy_Profile"),
              FindKey(kSectionGalaxy, "Galaxy_Profile")->defaultText);
    EXPECT_EQ(Stored(kSectionAdvanced, "Adv_EffectCycle"), "2500") << c.name;
    WriteSetting(kSettingsApp, kSectionFireworks, "FireWorks", "99");
    EXPECT_TRUE(ImportTemplateFile(Template(c.name)));
    EXPECT_EQ(Stored(kSectionFireworks, "FireWorks"), "16") << c.name;
  }
  // A folder is never replaced by a save.
  EXPECT_FALSE(SaveDialogAsTemplate(EveryFieldSet(), Template("folder.lvx")));
  EXPECT_TRUE(std::filesystem::is_directory(Template("folder.lvx")));
}

// Templates as some editors save them: UTF-8 with a byte-order mark, UTF-16 in either byte
// order with one. A lone surrogate (in the comment) is replaced, not fatal.
TEST_F(TemplatesTest, ByteOrderMarkedTextIsReadInItsEncoding) {
  const std::u16string text =
      u"; note \xD800\r\n[Fireworks]\r\nFireWorks=21\r\n[General]\r\nLockMessage=Caf\u00e9 "
      u"\u2603\r\n";
  const auto utf16 = [&text](bool big) {
    std::string bytes = big ? "\xFE\xFF" : "\xFF\xFE";
    for (const char16_t c : text) {
      const char high = static_cast<char>(c >> 8), low = static_cast<char>(c & 0xFF);
      bytes += big ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
  };
  const std::string utf8 =
      "\xEF\xBB\xBF[Fireworks]\nFireWorks=21\n[General]\nLockMessage=Caf\xC3\xA9 \xE2\x98\x83\n";
  for (const std::string& file : {utf8, utf16(false), utf16(true)}) {
    PutTemplate(file);
    EXPECT_EQ(CheckTemplateFile(Template()), TemplateFileCheck::kUsable);
    EXPECT_EQ(ReadTemplateValue(Template(), "Fireworks", "FireWorks", "d"), "21");
    // A save keeps the other values; the file is UTF-8 from then on.
    ASSERT_TRUE(WriteTemplateValue(Template(), "Fireworks", "FireWorks", "22"));
    EXPECT_EQ(ReadTemplateValue(Template(), "General", "LockMessage", "d"),
              "Caf\xC3\xA9 \xE2\x98\x83");
  }
}

TEST_F(TemplatesTest, ValuesAreReadUpTo254Characters) {
  const std::string longText(300, 'x');
  // A two-byte character that the limit would split is left out whole.
  const std::string split = std::string(253, 'y') + "\xC3\xA9" + "zz";
  PutTemplate("[General]\nLockMessage=" + longText + "\nFocalLength=" + split + "\n");
  EXPECT_EQ(ReadTemplateValue(Template(), "general", "lockmessage", "d"), longText.substr(0, 254));
  EXPECT_EQ(ReadTemplateValue(Template(), "GENERAL", "FocalLength", "d"), std::string(253, 'y'));
  EXPECT_EQ(ReadTemplateValue(Template(), "General", "Absent", "d"), "d");
  EXPECT_EQ(ReadTemplateValue(Template("absent.lvx"), "General", "LockMessage", "d"), "d");
}

TEST_F(TemplatesTest, SaveUpdatesInPlaceAndKeepsTheRestOfTheFile) {
  PutTemplate(
      "; my favourite look\n[Notes]\nauthor=Kim\n[fireworks]\nFIREWORKS=3\nExtra=yes\n"
      "; trailing comment\n");
  ASSERT_TRUE(WriteTemplateValue(Template(), "Fireworks", "FireWorks", "8"));
  // Updated in place, the spelling kept; then saved whole, with one entry per key.
  for (const bool whole : {false, true}) {
    if (whole) {
      ASSERT_TRUE(SaveDialogAsTemplate(EveryFieldSet(), Template()));
    }
    const std::string text = FileText(Template());
    for (const char* part :
         {"; my favourite look", "author=Kim", whole ? "FIREWORKS=" : "FIREWORKS=8", "Extra=yes",
          "; trailing comment"}) {
      EXPECT_NE(text.find(part), std::string::npos) << part << "\n" << text;
    }
    EXPECT_EQ(text.find("FireWorks="), std::string::npos) << text;
  }
  EXPECT_EQ(ReadTemplateValue(Template(), "Admin", "Module", ""), "3D Sparkloom");
  EXPECT_FALSE(std::filesystem::exists(Template() + ".damaged"));
}

TEST_F(TemplatesTest, SavingIntoADamagedFileKeepsTheOldFileBesideIt) {
  const std::string damaged = "[General]\na note without an equals sign\nColorRed=5\n";
  PutTemplate(damaged);
  ASSERT_TRUE(SaveDialogAsTemplate(EveryFieldSet(), Template()));
  EXPECT_EQ(FileText(Template() + ".damaged"), damaged);
  EXPECT_EQ(ReadTemplateValue(Template(), "General", "ColorRed", ""),
            EveryFieldSet().Get("General", "ColorRed"));
}

TEST_F(TemplatesTest, ReadOnlyTemplateIsLeftAsItIs) {
  PutTemplate("[General]\nColorRed=5\n");
  chmod(Template().c_str(), 0444);
  EXPECT_FALSE(SaveDialogAsTemplate(EveryFieldSet(), Template()));
  EXPECT_FALSE(WriteTemplateValue(Template(), "General", "ColorRed", "6"));
  EXPECT_EQ(FileText(Template()), "[General]\nColorRed=5\n");
}

// Malformed files: binary junk, huge lines, missing brackets and equals signs. Nothing may
// fault (the sanitizer build runs this too), reads give text or defaults, and a save either
// fails or leaves a file that reads back what was saved.
TEST_F(TemplatesTest, MalformedFilesNeverFault) {
  std::mt19937 rng(1234);
  std::vector<std::string> pieces;  // "|" between them
  std::istringstream all(
      "[|]|=|\n|\r\n|\r|;|#| |General|Fireworks|FireWorks|\t|12 shells|\xff\xfe|\xEF\xBB\xBF|"
      "[General|Admin|LockMessage=|==|"s +
      '\0');
  for (std::string piece; std::getline(all, piece, '|');) pieces.push_back(piece);
  pieces.push_back(std::string(5000, 'q'));
  std::uniform_int_distribution<std::size_t> pick(0, std::size(pieces) - 1);
  std::uniform_int_distribution<int> byte(0, 255), count(0, 60);
  for (int round = 0; round < 40; ++round) {
    std::string text;
    const int n = count(rng);
    for (int i = 0; i < n; ++i) {
      if (byte(rng) < 64) {
        text.push_back(static_cast<char>(byte(rng)));
      } else {
        text += pieces[pick(rng)];
      }
    }
    PutTemplate(text);
    const std::string value = ReadTemplateValue(Template(), "Fireworks", "FireWorks", "d");
    EXPECT_LE(value.size(), kMaxTemplateValueLength);
    DialogValues values;
    LoadTemplateIntoDialog(values, Template());
    if (round % 20 == 0) ImportTemplateFile(Template());
    if (SaveDialogAsTemplate(EveryFieldSet(), Template())) {
      EXPECT_EQ(ReadTemplateValue(Template(), "Fireworks", "FireWorks", "d"),
                EveryFieldSet().Get("Fireworks", "FireWorks"))
          << round;
    }
    std::filesystem::remove(Template() + ".damaged");
  }
}

}  // namespace
}  // namespace lmvn
