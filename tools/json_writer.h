// A JSON object written field by field on one line, for the tools' reports and listings.
//
// Texts are written as valid UTF-8 whatever bytes they hold: a byte that does not belong to a
// well-formed UTF-8 sequence (a Latin-1 "é", say) is written as U+FFFD, so every line the
// tools print parses as JSON.
#pragma once

#include <charconv>
#include <concepts>
#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace lmvn {

// The length of the well-formed UTF-8 sequence at the start of `text`; 0 when there is none
// (a stray continuation byte, a truncated or overlong sequence, a surrogate, a code point
// beyond U+10FFFF).
inline std::size_t Utf8SequenceLength(std::string_view text) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const auto continuation = [&](std::size_t i, unsigned char lo = 0x80, unsigned char hi = 0xbf) {
    return i < text.size() && byte(i) >= lo && byte(i) <= hi;
  };
  if (text.empty()) return 0;
  const unsigned char first = byte(0);
  if (first < 0x80) return 1;
  if (first >= 0xc2 && first <= 0xdf) return continuation(1) ? 2 : 0;
  if (first >= 0xe0 && first <= 0xef) {
    const unsigned char lo = first == 0xe0 ? 0xa0 : 0x80;  // no overlong forms
    const unsigned char hi = first == 0xed ? 0x9f : 0xbf;  // no surrogates
    return continuation(1, lo, hi) && continuation(2) ? 3 : 0;
  }
  if (first >= 0xf0 && first <= 0xf4) {
    const unsigned char lo = first == 0xf0 ? 0x90 : 0x80;
    const unsigned char hi = first == 0xf4 ? 0x8f : 0xbf;  // nothing beyond U+10FFFF
    return continuation(1, lo, hi) && continuation(2) && continuation(3) ? 4 : 0;
  }
  return 0;
}

class JsonWriter {
 public:
  void Field(std::string_view name, std::string_view value) {
    Key(name);
    Quoted(value);
  }
  void Field(std::string_view name, const std::string& value) {
    Field(name, std::string_view(value));
  }
  void Field(std::string_view name, const char* value) { Field(name, std::string_view(value)); }
  void Field(std::string_view name, bool value) {
    Key(name);
    text_ += value ? "true" : "false";
  }
  template <typename T>
  requires std::integral<T> || std::floating_point<T>
  void Field(std::string_view name, T value) {
    Key(name);
    char buffer[64];
    // Shortest text that reads back as the same value; NaN and infinity are not JSON.
    if constexpr (std::floating_point<T>) {
      if (value != value || value - value != 0) {
        text_ += "null";
        return;
      }
    }
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    // By length: the iterator-pair append inlines a replace that GCC 12 at -O3 with the
    // sanitizers misjudges as an overlapping copy.
    text_.append(buffer, static_cast<std::size_t>(result.ptr - buffer));
  }

  // A nested object: the fields up to the matching EndObject() go into it.
  void BeginObject(std::string_view name) {
    Key(name);
    text_ += '{';
    first_.push_back(true);
  }
  void EndObject() {
    if (first_.size() > 1) {
      first_.pop_back();
      text_ += '}';
    }
  }

  // The whole object, with every object still open closed.
  std::string Finish() {
    std::string text = text_;
    text.append(first_.size(), '}');
    return text;
  }

 private:
  void Key(std::string_view name) {
    if (!first_.back()) text_ += ',';
    first_.back() = false;
    Quoted(name);
    text_ += ':';
  }
  void Quoted(std::string_view value) {
    text_ += '"';
    while (!value.empty()) {
      const char c = value.front();
      const auto u = static_cast<unsigned char>(c);
      const std::size_t length = Utf8SequenceLength(value);
      if (length == 0) {
        text_ += "\\ufffd";
        value.remove_prefix(1);
        continue;
      }
      if (c == '"' || c == '\\') {
        text_ += '\\';
        text_ += c;
      } else if (u < 0x20 || u == 0x7f) {
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, "\\u%04x", u);
        text_ += escaped;
      } else {
        text_.append(value.substr(0, length));
      }
      value.remove_prefix(length);
    }
    text_ += '"';
  }

  std::string text_ = "{";
  std::vector<bool> first_{true};  // per open object: no field written yet
};

}  // namespace lmvn
