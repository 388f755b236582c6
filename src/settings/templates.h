// Template files: a whole look kept as an INI text file (extension ".lvx").
//
// A template holds the sections and keys of the store, written in transfer order
// (settings/transfers.h: General, Advanced, PixelColor, then the six effect sections) after an
// identification section:
//
//   [Admin]
//   Module=3D Sparkloom
//   Version=2.0
//   [General]
//   AnimationType=0
//   ...
//
// "Admin" is written but never read: any INI file, or a missing one, can be opened, every
// absent key taking its template default (the catalogue default, except
// Adv_EffectCycle, whose template default is 2500: cycling on). Values are read up to 254
// characters; section and key names are matched without regard to case. A file is read as
// UTF-8, or as UTF-16 when it starts with that byte-order mark. A save updates the
// file in place (other sections, keys and comments are kept) and replaces it atomically.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "settings/catalogue.h"
#include "settings/dialog_values.h"

namespace lmvn {

inline constexpr std::size_t kMaxTemplateValueLength = 254;
inline constexpr std::string_view kTemplateAdminSection = "Admin";
inline constexpr std::string_view kTemplateModule = "3D Sparkloom";
inline constexpr std::string_view kTemplateVersion = "2.0";

// The default a template read uses for `key`.
std::string TemplateDefault(const KeySpec& key);

// The text of section/key in `file`, cut to 254 characters; `def` when the file, the section
// or the key is missing or the file cannot be read.
std::string ReadTemplateValue(const std::string& file, std::string_view section,
                              std::string_view key, std::string_view def);
// Writes one value into `file` (created when missing), keeping the rest of the file. True when
// it was written.
bool WriteTemplateValue(const std::string& file, std::string_view section, std::string_view key,
                        std::string_view value);

// File > Save Template: Admin, then the dialog's General fields, the store's Advanced values,
// the colour distribution and every page (Grav_StarMass included), in one replacement of the
// file. True when the file was written.
bool SaveDialogAsTemplate(const DialogValues& values, const std::string& path);

// File > Open Template: every field of the dialog from the template (Grav_StarMass is not
// read), and the six Advanced values written straight to the store (together, in one write),
// even if the dialog is later cancelled. A missing or unreadable file gives every template default.
// False, and `values` and the store unchanged, when the store could not be written.
bool LoadTemplateIntoDialog(DialogValues& values, const std::string& path);

// The command-line import: every key of the template (Admin and Grav_StarMass aside) into the
// store. AnimationType becomes the whole part of its number; PixelSize, FocalLength and
// LockMessage are copied as text; every other value becomes the number its text starts with
// (0 when it starts with none). All six Advanced values are copied, so that an exported
// template imports back to the same settings and a template gives the same result whether it
// is imported or opened in the dialog. The values are stored in one replacement of the settings
// file: all of them (true) or none (false).
bool ImportTemplateFile(const std::string& path);

// What an import finds at a template path.
enum class TemplateFileCheck {
  kUsable,          // a readable file with at least one settings section
  kMissing,         // nothing at the path
  kUnreadable,      // not a regular file, or it cannot be read
  kNoKnownSection,  // readable, but none of the settings sections is in it
};
TemplateFileCheck CheckTemplateFile(const std::string& path);
// One line saying what is wrong with the file at `path`; empty for kUsable.
std::string TemplateFileProblem(TemplateFileCheck check, const std::string& path);

// The saver's "lumivane FILE.lvx": a path that is missing or not a readable regular file is
// not imported (a mistyped name must not reset every setting); any other file is, every absent
// key taking its template default. The line to show on standard error, or empty.
std::string ImportTemplateFromCommandLine(const std::string& path);

// Writes a template of the stored settings in the layout SaveDialogAsTemplate writes (every
// value as the store holds it, or its store default). True when the file was written.
bool ExportTemplateFile(const std::string& path);

// The file last opened or saved from the Properties dialog, for the run; starts empty.
std::string& CurrentTemplatePath();

// The number at the start of `text` (blanks skipped), as the import reads it: "12 shells" is
// 12, "-1.5e2x" is -150, "shells" is 0; std::nullopt for a number too large for a double.
std::optional<double> LeadingNumber(std::string_view text);

// True when a command-line argument names a template: it ends in ".lvx", in any case.
bool IsTemplatePath(std::string_view argument);

}  // namespace lmvn
