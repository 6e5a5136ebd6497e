// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QRect>

#include "dialogs/dialog_template.h"
#include "dialogs/dialog_units.h"

namespace drunvale {

// The stand-in for a dialog's font on this system: "MS Sans Serif" and "MS Shell Dlg" (which
// Windows maps to it) become a sans face of the same build, at the size Windows would pick for
// the font's points on a screen of the given vertical resolution.
QFont StandInFont(const DialogFont& font, int logicalDpiY);

// The height of one line of text in the font, ascent and descent each rounded up as Windows
// rounds a scalable font's metrics: the line pitch of the static texts and the vertical base
// unit.
int LineHeight(const QFont& font);

// What the dialog-unit conversion needs of the font.
DialogFontMetrics MeasureDialogFont(const QFont& font);

inline QRect ToQRect(const PixelRect& r) {
  return QRect(r.x, r.y, r.width, r.height);
}

}  // namespace drunvale
