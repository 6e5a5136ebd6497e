// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>
#include <optional>

class QWidget;

namespace drunvale {

// Centres a window rectangle on an anchor (a visible owner, or else the work area) and then
// keeps it inside the work area: an edge before the work area's moves to it, and a window
// reaching past the right or bottom moves back to end there.
QRect CentredInWorkArea(const QRect& window, const std::optional<QRect>& anchor,
                        const QRect& workArea);

// Places a top-level window that is about to show: over its owner when the owner is visible
// and not minimised, otherwise in the middle of its screen's work area.
void CentreOverOwner(QWidget* window, const QWidget* owner);

}  // namespace drunvale
