#include "json_writer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <random>
#include <string>

namespace lmvn {
namespace {

// Decodes UTF-8 by the code point each sequence stands for: false for anything that is not
// well-formed (overlong, surrogate, beyond U+10FFFF, truncated, stray continuation).
bool WellFormedUtf8(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const int length = lead < 0x80       ? 1
                       : lead >> 5 == 6  ? 2
                       : lead >> 4 == 14 ? 3
                       : lead >> 3 == 30 ? 4
                                         : 0;
    if (length == 0 || i + length > text.size()) return false;
    std::uint32_t point = length == 1 ? lead : lead & (0x7f >> length);
    for (int k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if (next >> 6 != 2) return false;
      point = point << 6 | (next & 0x3f);
    }
    const std::uint32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
    if (point < least[length] || point > 0x10ffff || (point >= 0xd800 && point <= 0xdfff)) {
      return false;
    }
    i += static_cast<std::size_t>(length);
  }
  return true;
}

std::string Written(std::string_view value) {
  JsonWriter json;
  json.Field("v", value);
  return json.Finish();
}

TEST(JsonWriter, TextsAreValidUtf8WhateverTheyHold) {
  EXPECT_EQ(Written("caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x8e\x86"),
            "{\"v\":\"caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x8e\x86\"}");
  EXPECT_EQ(Written("caf\xe9"), "{\"v\":\"caf\\ufffd\"}");  // Latin-1
  EXPECT_EQ(Written("\"\\\n\x7f"), "{\"v\":\"\\\"\\\\\\u000a\\u007f\"}");
  // Any bytes at all (overlong forms, surrogates, truncated and stray sequences among them)
  // give well-formed text; well-formed input is kept as it is.
  std::mt19937 random(9);
  for (int i = 0; i < 20000; ++i) {
    std::string bytes(random() % 12, '\0');
    for (char& c : bytes)
      c = static_cast<char>(random() % 4 == 0 ? random() % 0x80 : 0x80 + random() % 0x80);
    const std::string out = Written(bytes);
    ASSERT_TRUE(WellFormedUtf8(out)) << out;
    if (WellFormedUtf8(bytes)) {
      ASSERT_EQ(out.find("\\ufffd"), std::string::npos) << out;
    }
  }
}

TEST(JsonWriter, NestedObjects) {
  JsonWriter json;
  json.Field("a", 1);
  json.BeginObject("General");
  json.Field("x", true);
  json.Field("y", 0.5f);
  json.EndObject();
  json.BeginObject("Empty");
  json.EndObject();
  json.BeginObject("Open");
  json.Field("z", "t");
  EXPECT_EQ(json.Finish(), R"({"a":1,"General":{"x":true,"y":0.5},"Empty":{},"Open":{"z":"t"}})");
}

}  // namespace
}  // namespace lmvn
