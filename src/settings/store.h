// The settings store.
//
// Every setting is one named text value, grouped by section under an application name. The
// store keeps one INI text file per application:
//
//   root 0 and 1:   $XDG_CONFIG_HOME/Lumivane/<app>.ini, or ~/.config/Lumivane/<app>.ini
//                   when XDG_CONFIG_HOME is unset, empty or not an absolute path
//   any other root: <first dir of $XDG_CONFIG_DIRS>/Lumivane/<app>.ini (default /etc/xdg),
//                   the system-wide settings; read only, writes there return false
//
// Every caller in the program passes root 0 and the application name "LMVN_SS". The
// environment is read at every call.
//
// Section and key names are matched without regard to letter case. Values are text; numbers
// are written as their shortest decimal text and read by the rules of settings/value_text.h
// (the 127-character limit, the numeric grammar, rounding half to even, 0 for numbers that do
// not fit an integer type).
//
// Every operation opens the file, works and closes it; nothing is cached. Operations take an
// advisory lock (flock on ".<app>.ini.lock" in the same folder; shared for reads, exclusive
// for writes), so two processes never lose each other's writes. A write replaces the file
// atomically (temporary file in the same folder, fsync, rename, fsync of the folder) and
// creates the folder when it is missing.
//
// Readers take the shared lock only when the lock file exists and never create it; a lock
// file that a writer cannot open for writing (say, root's) is locked through a descriptor
// opened for reading, and one it cannot open at all is replaced. Files that root writes in
// another user's settings folder are given to that user.
//
// A missing, unreadable or damaged file reads as defaults, value by value. Only a regular
// file is opened: a FIFO, device, socket or folder at the path reads as missing at once, and
// writes to it fail. The text is UTF-8 (a byte-order mark is skipped), or UTF-16 when it starts
// with that byte-order mark (a write then stores it as UTF-8). The store reads it line by
// line: blank lines, comments (';' or '#'), section headers "[name]" and "key=value" lines.
// A damaged line (a NUL byte, a line longer than 4096 bytes, a line that is none of the
// above, a header without its closing bracket) is not read, and neither are the lines under a
// damaged header up to the next good one. A write keeps every value that could be read, other
// sections and comments; when the file held damaged lines, the write first keeps the whole old
// file beside it as a new backup, "<app>.ini.damaged", then "<app>.ini.damaged.2", ".3" and so
// on, never replacing an earlier one, so nothing is ever lost. Writes also remove the temporary
// files of writers that were killed.
//
// A write fails (returns false) for a name that cannot be stored in the file (empty, control
// characters, '=' in a key, brackets in a section, a leading ';', '#' or '[', leading or
// trailing blanks), for a value with a line break or NUL, for a line ("key=value") longer than
// the reader takes (4096 bytes), for a non-finite number, for an application name that is not
// a plain file name, for the read-only root, for a file without its owner's write permission
// (a locked configuration, left as it is), and when the file exists but cannot be read or
// replaced.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "render/numeric.h"

namespace lmvn {

// The application name that every caller in the program uses.
inline constexpr std::string_view kSettingsApp = "LMVN_SS";

// One value of a batch write (WriteSettings); the texts must outlive the call.
struct SettingWrite {
  std::string_view section, key, value;
};

// Stores `value` with leading and trailing blanks removed. True when it was stored.
bool WriteSetting(std::string_view app, std::string_view section, std::string_view key,
                  std::string_view value, Integer root = 0);
bool WriteSetting(std::string_view app, std::string_view section, std::string_view key,
                  const char* value, Integer root = 0);
bool WriteSetting(std::string_view app, std::string_view section, std::string_view key,
                  Integer value, Integer root = 0);
bool WriteSetting(std::string_view app, std::string_view section, std::string_view key, Long value,
                  Integer root = 0);
bool WriteSetting(std::string_view app, std::string_view section, std::string_view key,
                  Single value, Integer root = 0);
bool WriteSetting(std::string_view app, std::string_view section, std::string_view key,
                  double value, Integer root = 0);

// Several values stored with one replacement of the file (each trimmed like WriteSetting):
// all of them, or none when any name or value cannot be stored or the file cannot be written.
// Used for resets and imports.
bool WriteSettings(std::string_view app, std::span<const SettingWrite> writes, Integer root = 0);

std::string ReadSettingString(std::string_view app, std::string_view section, std::string_view key,
                              std::string_view def, Integer root = 0);
Integer ReadSettingInteger(std::string_view app, std::string_view section, std::string_view key,
                           Integer def, Integer root = 0);
Long ReadSettingLong(std::string_view app, std::string_view section, std::string_view key, Long def,
                     Integer root = 0);
Single ReadSettingSingle(std::string_view app, std::string_view section, std::string_view key,
                         Single def, Integer root = 0);

// Why the calling thread's last failed write (WriteSetting, WriteSettings, a template save)
// failed, in a few words: the system's message ("No space left on device"), "the file is
// read-only" and the like. Empty after a write that succeeded.
std::string LastWriteProblem();

// The path of the file that holds `app`'s settings for `root`; empty when there is none
// (no usable home folder, or an application name that is not a plain file name).
std::string SettingsFilePath(std::string_view app, Integer root = 0);

}  // namespace lmvn
