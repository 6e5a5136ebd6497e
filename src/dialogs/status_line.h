// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace drunvale {

// "Нет данных N с": how long no valid sample has come.
std::string NoDataText(uint32_t seconds);

// What a window's status line shows: the link's own text, after "Нет данных N с — " while the
// figures are stale, so the line says both since when nothing came and what the link is doing
// about it.
std::string StatusLineText(const std::string& linkText, std::optional<uint32_t> staleSeconds);

}  // namespace drunvale
