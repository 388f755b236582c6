#include "settings/value_text.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace lmvn {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// A numeric text taken apart: the sign, the number without sign and blanks (as from_chars
// takes it), and the rough decimal magnitude (the exponent of its leading digit, plus one),
// which tells a number too large for a type from one too small when a conversion fails.
struct NumericText {
  bool negative = false;
  std::string_view body;
  long magnitude = 0;
};

std::optional<NumericText> ScanNumber(std::string_view text) {
  text = TrimBlanks(text);
  NumericText n;
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    n.negative = text[i] == '-';
    ++i;
  }
  const std::size_t start = i;
  std::size_t intDigits = 0, leadingZeros = 0, fracDigits = 0, fracZeros = 0;
  bool nonZeroSeen = false;
  for (; i < text.size() && IsDigit(text[i]); ++i, ++intDigits) {
    if (text[i] != '0') nonZeroSeen = true;
    if (!nonZeroSeen) ++leadingZeros;
  }
  if (i < text.size() && text[i] == '.') {
    for (++i; i < text.size() && IsDigit(text[i]); ++i, ++fracDigits) {
      if (text[i] != '0') nonZeroSeen = true;
      if (!nonZeroSeen) ++fracZeros;
    }
  }
  if (intDigits + fracDigits == 0) return std::nullopt;
  long exponent = 0;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    bool expNegative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
      expNegative = text[i] == '-';
      ++i;
    }
    if (i >= text.size() || !IsDigit(text[i])) return std::nullopt;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
      if (exponent < 1000000) exponent = exponent * 10 + (text[i] - '0');
    }
    if (expNegative) exponent = -exponent;
  }
  if (i != text.size()) return std::nullopt;
  n.body = text.substr(start);
  const long intSignificant = static_cast<long>(intDigits - leadingZeros);
  n.magnitude = (intSignificant > 0 ? intSignificant : -static_cast<long>(fracZeros)) + exponent;
  return n;
}

// from_chars does not take a leading '+' or a bare point ("5.", ".5"): the body is copied
// into a buffer with a zero on either side of a point that lacks one. Only readable values
// (at most kMaxValueLength characters) come here; longer bodies are refused.
template <typename T>
std::from_chars_result ParseBody(std::string_view body, T& out) {
  char buffer[kMaxValueLength + 3];
  if (body.size() > kMaxValueLength) return {body.data(), std::errc::invalid_argument};
  std::size_t length = 0;
  const auto put = [&](char c) { buffer[length++] = c; };
  for (std::size_t i = 0; i < body.size(); ++i) {
    if (body[i] == '.') {
      if (i == 0) put('0');
      put('.');
      if (i + 1 == body.size() || !IsDigit(body[i + 1])) put('0');
    } else {
      put(body[i]);
    }
  }
  const auto result = std::from_chars(buffer, buffer + length, out);
  if (result.ptr != buffer + length && result.ec == std::errc{}) {
    return {body.data(), std::errc::invalid_argument};
  }
  return {body.data() + body.size(), result.ec};
}

// The text a read considers: missing or over-long values count as missing.
std::optional<std::string_view> Readable(std::optional<std::string_view> text) {
  if (!text || text->size() > kMaxValueLength) return std::nullopt;
  return text;
}

// A numeric text as a double for the integer reads: std::nullopt when not numeric, and
// infinity when the number is too large even for a double (it fits no integer type either).
std::optional<double> NumberForInteger(std::optional<std::string_view> text) {
  text = Readable(text);
  if (!text) return std::nullopt;
  const auto number = ScanNumber(*text);
  if (!number) return std::nullopt;
  double value = 0;
  const auto result = ParseBody(number->body, value);
  if (result.ec == std::errc::result_out_of_range) {
    value = number->magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
  } else if (result.ec != std::errc{}) {
    return std::nullopt;
  }
  return number->negative ? -value : value;
}

}  // namespace

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool IsNumericText(std::string_view text) {
  return ScanNumber(text).has_value();
}

std::string StringFromText(std::optional<std::string_view> text, std::string_view def) {
  text = Readable(text);
  return std::string(text ? *text : def);
}

Integer IntegerFromText(std::optional<std::string_view> text, Integer def) {
  const auto value = NumberForInteger(text);
  if (!value) return def;
  return CInt(*value).value_or(0);
}

Long LongFromText(std::optional<std::string_view> text, Long def) {
  const auto value = NumberForInteger(text);
  if (!value) return def;
  return CLng(*value).value_or(0);
}

Single SingleFromText(std::optional<std::string_view> text, Single def) {
  text = Readable(text);
  if (!text) return def;
  const auto number = ScanNumber(*text);
  if (!number) return def;
  Single value = 0;
  const auto result = ParseBody(number->body, value);
  if (result.ec == std::errc::result_out_of_range) {
    if (number->magnitude > 0) return def;  // too large for a float
    value = 0;
  } else if (result.ec != std::errc{}) {
    return def;
  }
  return number->negative ? -value : value;
}

std::string SettingText(Long value) {
  return std::to_string(value);
}

namespace {
template <typename T>
std::optional<std::string> ShortestText(T value) {
  if (!std::isfinite(value)) return std::nullopt;
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  if (result.ec != std::errc{}) return std::nullopt;
  return std::string(buffer, result.ptr);
}
}  // namespace

std::optional<std::string> SettingText(Single value) {
  return ShortestText(value);
}
std::optional<std::string> SettingText(double value) {
  return ShortestText(value);
}

}  // namespace lmvn
