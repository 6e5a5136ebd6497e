// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/regional_numbers.h"

namespace drunvale {

// Comma-separated values as spreadsheet programs read them: a field holding the separator, a
// quote or a line break is quoted, its quotes doubled. Line breaks inside a field are not
// written at all (the journal's rows are one line each): they become spaces.
std::string CsvField(std::string_view text, char separator = ',');
std::string CsvLine(const std::vector<std::string>& fields, char separator = ',');
// The fields of one line; false when a quoted field does not end.
bool SplitCsvLine(std::string_view line, std::vector<std::string>& fields, char separator = ',');
// A text field from outside (a port name, the control unit's words) that a spreadsheet must
// not take for a formula: one starting with '=', '+', '-', '@', a tab or a carriage return gets
// a leading apostrophe, which spreadsheet programs read as "this is text".
std::string CsvText(std::string_view text);

// The byte-order mark that tells spreadsheet programs a CSV file is UTF-8.
inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// The lines of a file, without their line breaks (LF or CR LF) and without a leading BOM.
std::vector<std::string_view> SplitLines(std::string_view text);

// The journal's rows are made in one form, ',' between fields and '.' in numbers, and written
// in the form of the file they go to, so that a spreadsheet program set up for the user's
// region opens it in columns: a new file takes the user's regional form, a file that exists
// keeps the one it began with. Only two forms are written: "," with '.', and ';' with either
// decimal sign. The first numberFields fields of a row are the ones whose numbers follow the
// form.
std::string RowInForm(std::string_view row, RegionalNumbers form, size_t numberFields);
// The form of a file from its header line and, for a ';' file, its first row (numberAt names a
// field that always holds a decimal number); fallback gives the decimal sign where no row tells.
RegionalNumbers FormOfFile(std::string_view text, size_t numberAt, RegionalNumbers fallback);
// The form of the user's region as this program writes it.
RegionalNumbers WrittenForm(RegionalNumbers regional);

}  // namespace drunvale
