// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace drunvale {

// Comma-separated values as spreadsheet programs read them: a field holding a comma, a quote or
// a line break is quoted, its quotes doubled. Line breaks inside a field are not written at all
// (the journal's rows are one line each): they become spaces.
std::string CsvField(std::string_view text);
std::string CsvLine(const std::vector<std::string>& fields);
// The fields of one line; nullopt when a quoted field does not end.
bool SplitCsvLine(std::string_view line, std::vector<std::string>& fields);

// The byte-order mark that tells spreadsheet programs a CSV file is UTF-8.
inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// The lines of a file, without their line breaks (LF or CR LF) and without a leading BOM.
std::vector<std::string_view> SplitLines(std::string_view text);

}  // namespace drunvale
