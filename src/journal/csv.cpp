// SPDX-License-Identifier: GPL-3.0-or-later
#include "journal/csv.h"

#include <algorithm>

namespace drunvale {
namespace {

constexpr RegionalNumbers kCommaForm{',', '.'};

bool IsDecimalNumber(std::string_view text) {
  if (text.starts_with('-')) text.remove_prefix(1);
  const size_t point = text.find('.');
  return !text.empty() && point != std::string_view::npos && point > 0 && point + 1 < text.size() &&
         std::all_of(text.begin(), text.end(),
                     [](char c) { return c == '.' || (c >= '0' && c <= '9'); });
}

}  // namespace

std::string CsvField(std::string_view text, char separator) {
  std::string field;
  bool quote = false;
  for (char c : text) {
    if (c == '\r' || c == '\n') c = ' ';
    if (c == separator || c == '"') quote = true;
    if (c == '"') field += '"';
    field += c;
  }
  return quote ? "\"" + field + "\"" : field;
}

std::string CsvLine(const std::vector<std::string>& fields, char separator) {
  std::string line;
  for (size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) line += separator;
    line += CsvField(fields[i], separator);
  }
  return line;
}

bool SplitCsvLine(std::string_view line, std::vector<std::string>& fields, char separator) {
  fields.clear();
  std::string field;
  bool quoted = false;
  for (size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quoted) {
      if (c != '"') {
        field += c;
      } else if (i + 1 < line.size() && line[i + 1] == '"') {
        field += '"';
        ++i;
      } else {
        quoted = false;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == separator) {
      fields.push_back(std::move(field));
      field.clear();
    } else {
      field += c;
    }
  }
  fields.push_back(std::move(field));
  return !quoted;
}

std::string CsvText(std::string_view text) {
  if (!text.empty() && std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos) {
    return "'" + std::string(text);
  }
  return std::string(text);
}

std::vector<std::string_view> SplitLines(std::string_view text) {
  if (text.starts_with(kUtf8Bom)) text.remove_prefix(kUtf8Bom.size());
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (line.ends_with('\r')) line.remove_suffix(1);
    lines.push_back(line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

std::string RowInForm(std::string_view row, RegionalNumbers form, size_t numberFields) {
  if (form == kCommaForm) return std::string(row);
  std::vector<std::string> fields;
  SplitCsvLine(row, fields);
  for (size_t i = 0; i < fields.size() && i < numberFields; ++i) {
    if (form.decimalPoint == ',' && IsDecimalNumber(fields[i]))
      std::replace(fields[i].begin(), fields[i].end(), '.', ',');
  }
  return CsvLine(fields, form.listSeparator);
}

RegionalNumbers FormOfFile(std::string_view text, size_t numberAt, RegionalNumbers fallback) {
  const std::vector<std::string_view> lines = SplitLines(text);
  if (lines.empty()) return WrittenForm(fallback);
  // The header's names hold neither sign, so the first one in it is the separator.
  const size_t sign = lines.front().find_first_of(",;");
  if (sign == std::string_view::npos || lines.front()[sign] == ',') return kCommaForm;
  for (size_t i = 1; i < lines.size(); ++i) {
    std::vector<std::string> fields;
    if (!SplitCsvLine(lines[i], fields, ';') || fields.size() <= numberAt) continue;
    const std::string& number = fields[numberAt];
    if (number.find(',') != std::string::npos) return {';', ','};
    if (number.find('.') != std::string::npos) return {';', '.'};
  }
  return {';', WrittenForm(fallback).decimalPoint == '.' ? '.' : ','};
}

RegionalNumbers WrittenForm(RegionalNumbers regional) {
  if (regional.decimalPoint == ',') return {';', ','};
  if (regional.listSeparator == ';') return {';', '.'};
  return kCommaForm;
}

}  // namespace drunvale
