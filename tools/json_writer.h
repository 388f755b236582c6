// A flat JSON object written field by field, for the renderer's one-line reports.
#pragma once

#include <charconv>
#include <concepts>
#include <cstdio>
#include <string>
#include <string_view>

namespace lmvn {

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
    text_.append(buffer, result.ptr);
  }

  std::string Finish() { return text_ + "}"; }

 private:
  void Key(std::string_view name) {
    text_ += text_.size() > 1 ? "," : "";
    Quoted(name);
    text_ += ':';
  }
  void Quoted(std::string_view value) {
    text_ += '"';
    for (const char c : value) {
      const auto u = static_cast<unsigned char>(c);
      if (c == '"' || c == '\\') {
        text_ += '\\';
        text_ += c;
      } else if (u < 0x20) {
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, "\\u%04x", u);
        text_ += escaped;
      } else {
        text_ += c;
      }
    }
    text_ += '"';
  }

  std::string text_ = "{";
};

}  // namespace lmvn
