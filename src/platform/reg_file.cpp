// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/reg_file.h"

#include <algorithm>
#include <optional>

namespace drunvale {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr size_t kWrapColumn = 80;

std::string_view TrimLeft(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
    s.remove_prefix(1);
  return s;
}

std::string_view TrimRight(std::string_view s) {
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
    s.remove_suffix(1);
  return s;
}

std::string_view Trim(std::string_view s) {
  return TrimRight(TrimLeft(s));
}

class LineReader {
 public:
  explicit LineReader(std::string_view text) : rest_(text) {}

  bool Next(std::string_view& line) {
    if (rest_.empty()) return false;
    const size_t cut = rest_.find('\n');
    line = rest_.substr(0, cut);
    rest_ = cut == std::string_view::npos ? std::string_view() : rest_.substr(cut + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return true;
  }

 private:
  std::string_view rest_;
};

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// 1 to maxDigits hex digits, nothing else.
std::optional<uint32_t> ParseHexNumber(std::string_view s, size_t maxDigits) {
  if (s.empty() || s.size() > maxDigits) return std::nullopt;
  uint32_t value = 0;
  for (char c : s) {
    const int digit = HexDigit(c);
    if (digit < 0) return std::nullopt;
    value = value << 4 | static_cast<uint32_t>(digit);
  }
  return value;
}

// Reads a quoted string from just after its opening quote; pos ends after the closing quote.
bool ParseQuoted(std::string_view s, size_t& pos, std::string& out) {
  while (pos < s.size()) {
    const char c = s[pos++];
    if (c == '"') return true;
    if (c == '\\') {
      if (pos >= s.size()) return false;
      const char escaped = s[pos++];
      if (escaped != '\\' && escaped != '"') return false;
      out += escaped;
    } else {
      out += c;
    }
  }
  return false;
}

bool ParseHexList(std::string_view s, std::vector<uint8_t>& out) {
  s = Trim(s);
  if (s.empty()) return true;
  if (s.back() == ',') s.remove_suffix(1);  // a wrapped list ends its lines with a comma
  while (true) {
    const size_t cut = s.find(',');
    const auto byte = ParseHexNumber(Trim(s.substr(0, cut)), 2);
    if (!byte || out.size() >= kMaxStoreValueBytes) return false;
    out.push_back(static_cast<uint8_t>(*byte));
    if (cut == std::string_view::npos) return true;
    s.remove_prefix(cut + 1);
  }
}

enum class LineResult { Value, Removal, Malformed };

// The part after '=' in its typed forms: hex:, hex(N):, dword: or - (removal).
LineResult ParseTypedData(std::string_view data, StoreValue& value) {
  data = Trim(data);
  if (data == "-") return LineResult::Removal;
  if (data.starts_with("dword:")) {
    const auto number = ParseHexNumber(data.substr(6), 8);
    if (!number) return LineResult::Malformed;
    value.Type = kRegDword;
    for (int shift = 0; shift < 32; shift += 8)
      value.Data.push_back((*number >> shift) & 0xFF);
    return LineResult::Value;
  }
  if (data.starts_with("hex:")) {
    value.Type = kRegBinary;
    data.remove_prefix(4);
  } else if (data.starts_with("hex(")) {
    const size_t close = data.find("):");
    if (close == std::string_view::npos) return LineResult::Malformed;
    const auto type = ParseHexNumber(data.substr(4, close - 4), 8);
    if (!type) return LineResult::Malformed;
    value.Type = *type;
    data.remove_prefix(close + 2);
  } else {
    return LineResult::Malformed;
  }
  return ParseHexList(data, value.Data) ? LineResult::Value : LineResult::Malformed;
}

// One value line; a typed value continues over the following lines while it ends in '\'.
LineResult ParseValueLine(std::string_view line, LineReader& lines, StoreValue& value) {
  size_t pos = 1;
  if (line.front() == '"') {
    if (!ParseQuoted(line, pos, value.Name)) return LineResult::Malformed;
  } else if (line.front() != '@') {
    return LineResult::Malformed;
  }
  std::string_view rest = TrimLeft(line.substr(pos));
  if (rest.empty() || rest.front() != '=') return LineResult::Malformed;
  rest = TrimLeft(rest.substr(1));

  if (!rest.empty() && rest.front() == '"') {
    std::string text;
    size_t end = 1;
    if (!ParseQuoted(rest, end, text) || !Trim(rest.substr(end)).empty()) {
      return LineResult::Malformed;
    }
    value.Type = kRegSz;
    value.Data.assign(text.begin(), text.end());
    value.Data.push_back(0);
    return LineResult::Value;
  }

  std::string data(TrimRight(rest));
  std::string_view next;
  while (!data.empty() && data.back() == '\\') {
    data.pop_back();
    if (!lines.Next(next)) return LineResult::Malformed;  // cut off after the '\'
    data += Trim(next);
  }
  return ParseTypedData(data, value);
}

bool IsPlainText(const std::vector<uint8_t>& data) {
  if (data.empty() || data.back() != 0) return false;
  return std::none_of(data.begin(), data.end() - 1,
                      [](uint8_t byte) { return byte < 0x20 || byte == 0x7F; });
}

std::string Quote(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  out += '"';
  return out;
}

std::string Hex(uint32_t value, int minDigits) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string out;
  do {
    out.insert(out.begin(), kDigits[value & 0xF]);
    value >>= 4;
  } while (value != 0 || static_cast<int>(out.size()) < minDigits);
  return out;
}

void AppendWrappedHex(std::string& line, const std::vector<uint8_t>& data) {
  size_t column = line.size();
  for (size_t i = 0; i < data.size(); ++i) {
    // Every line, with its trailing "xx,\", stays within the wrap column.
    if (column + 4 > kWrapColumn && column > 2) {
      line += "\\\n  ";
      column = 2;
    }
    line += Hex(data[i], 2);
    if (i + 1 < data.size()) line += ',';
    column += 3;
  }
}

}  // namespace

std::vector<StoreValue> ParseRegFile(std::string_view text, std::string_view keyHeader) {
  std::vector<StoreValue> values;
  if (text.starts_with(kBom)) text.remove_prefix(kBom.size());
  // A last line without its line end may have been cut off mid-value: it does not count.
  text = text.substr(0, text.rfind('\n') + 1);
  LineReader lines(text);
  std::string_view line;
  if (!lines.Next(line) || TrimRight(line) != kRegFileSignature) return values;

  bool inKey = false;
  while (lines.Next(line)) {
    line = Trim(line);
    if (line.empty() || line.front() == ';') continue;
    if (line.front() == '[') {
      inKey = line.size() >= 2 && line.back() == ']' &&
              SameStoreName(line.substr(1, line.size() - 2), keyHeader);
      continue;
    }
    if (!inKey) continue;

    StoreValue value;
    const LineResult result = ParseValueLine(line, lines, value);
    if (result == LineResult::Malformed) continue;
    auto same = std::find_if(values.begin(), values.end(), [&](const StoreValue& known) {
      return SameStoreName(known.Name, value.Name);
    });
    if (result == LineResult::Removal) {
      if (same != values.end()) values.erase(same);
    } else if (same != values.end()) {
      *same = std::move(value);
    } else {
      values.push_back(std::move(value));
    }
  }
  return values;
}

std::string FormatRegFile(std::string_view keyHeader, const std::vector<StoreValue>& values) {
  std::string out(kRegFileSignature);
  out += "\n\n[";
  out += keyHeader;
  out += "]\n";
  for (const StoreValue& value : values) {
    if (!IsValidValueName(value.Name)) continue;
    std::string line = value.Name.empty() ? "@" : Quote(value.Name);
    line += '=';
    if (value.Type == kRegSz && IsPlainText(value.Data)) {
      line += Quote(std::string_view(reinterpret_cast<const char*>(value.Data.data()),
                                     value.Data.size() - 1));
    } else if (value.Type == kRegDword && value.Data.size() == 4) {
      const uint32_t number = value.Data[0] | value.Data[1] << 8 | value.Data[2] << 16 |
                              static_cast<uint32_t>(value.Data[3]) << 24;
      line += "dword:" + Hex(number, 8);
    } else {
      line += value.Type == kRegBinary ? "hex:" : "hex(" + Hex(value.Type, 1) + "):";
      AppendWrappedHex(line, value.Data);
    }
    out += line;
    out += '\n';
  }
  out += '\n';
  return out;
}

}  // namespace drunvale
