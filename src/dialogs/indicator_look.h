// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string_view>

namespace drunvale {

// How every view paints the consumption indicator: large bold digits, right-aligned at the top
// of a text cell that begins above the client area (its colours: dialogs/indicator_colours.h).
inline constexpr std::string_view kIndicatorFace = "Arial";
// The character height (a negative Windows font height) at 96 dots per inch.
inline constexpr int kIndicatorCharacterHeight = 136;
inline constexpr int kIndicatorWeight = 700;
// The text cell starts this far above the client area, and the text ends this far before its
// right edge, in pixels at 96 dots per inch.
inline constexpr int kIndicatorTextLift = 22;
inline constexpr int kIndicatorRightMargin = 2;

}  // namespace drunvale
