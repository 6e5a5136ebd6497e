// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

namespace drunvale {

// Lays out one of the panel's tables for a terminal: a header row, then the row captions
// beside the value columns, each column's multi-line text split at its line breaks. Captions
// are left-aligned and values right-aligned, counted in characters, not bytes, since the
// texts are Cyrillic UTF-8.
std::vector<std::string> LayOutTable(const std::vector<std::string>& headers,
                                     const std::string& captions,
                                     const std::vector<std::string>& columns);

size_t Utf8Width(const std::string& text);

}  // namespace drunvale
