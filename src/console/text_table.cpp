// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/text_table.h"

#include <algorithm>
#include <sstream>

namespace drunvale {
namespace {

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string line;
  std::istringstream in(text);
  while (std::getline(in, line)) {
    // The panel's texts end each line with a space for the window's sake; the table pads.
    while (!line.empty() && (line.back() == ' ' || line.back() == '\r'))
      line.pop_back();
    while (!line.empty() && line.front() == ' ')
      line.erase(line.begin());
    lines.push_back(line);
  }
  return lines;
}

std::string Pad(const std::string& text, size_t width, bool right) {
  size_t have = Utf8Width(text);
  std::string fill(width > have ? width - have : 0, ' ');
  return right ? fill + text : text + fill;
}

}  // namespace

size_t Utf8Width(const std::string& text) {
  return std::count_if(text.begin(), text.end(),
                       [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; });
}

std::vector<std::string> LayOutTable(const std::vector<std::string>& headers,
                                     const std::string& captions,
                                     const std::vector<std::string>& columns) {
  std::vector<std::vector<std::string>> cells;
  cells.push_back(SplitLines(captions));
  for (const auto& column : columns)
    cells.push_back(SplitLines(column));

  size_t rows = 0;
  std::vector<size_t> widths(cells.size(), 0);
  for (size_t c = 0; c < cells.size(); ++c) {
    rows = std::max(rows, cells[c].size());
    if (c < headers.size()) widths[c] = Utf8Width(headers[c]);
    for (const auto& cell : cells[c])
      widths[c] = std::max(widths[c], Utf8Width(cell));
  }

  std::vector<std::string> out;
  std::string line;
  for (size_t c = 0; c < cells.size(); ++c) {
    if (c > 0) line += " | ";
    line += Pad(c < headers.size() ? headers[c] : "", widths[c], false);
  }
  out.push_back(line);
  for (size_t r = 0; r < rows; ++r) {
    line.clear();
    for (size_t c = 0; c < cells.size(); ++c) {
      if (c > 0) line += " | ";
      const std::string cell = r < cells[c].size() ? cells[c][r] : "";
      line += Pad(cell, widths[c], c > 0);
    }
    out.push_back(line);
  }
  return out;
}

}  // namespace drunvale
