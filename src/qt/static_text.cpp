// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/static_text.h"

#include <QFontMetricsF>
#include <QPainter>
#include <cmath>

#include "qt/dialog_font.h"

namespace drunvale {

StaticText::StaticText(const QString& text, Qt::Alignment alignment, QWidget* parent)
    : QFrame(parent), text_(text), alignment_(alignment) {}

void StaticText::setText(const QString& text) {
  if (text == text_) return;
  text_ = text;
  update();
}

int StaticText::LinePitch() const {
  return LineHeight(font());
}

void StaticText::paintEvent(QPaintEvent* event) {
  QFrame::paintEvent(event);
  QPainter painter(this);
  QRect area = contentsRect();
  painter.setClipRect(area);
  painter.setPen(palette().color(QPalette::WindowText));
  QFontMetricsF metrics(font());
  int pitch = LinePitch();
  int baseline = area.top() + static_cast<int>(std::ceil(metrics.ascent()));
  for (const QString& line : text_.split(QLatin1Char('\n'))) {
    qreal width = metrics.horizontalAdvance(line);
    qreal x = area.left();
    if (alignment_ & Qt::AlignRight) {
      x = area.left() + area.width() - width;
    } else if (alignment_ & Qt::AlignHCenter) {
      x = area.left() + std::floor((area.width() - width) / 2);
    }
    painter.drawText(QPointF(x, baseline), line);
    baseline += pitch;
  }
}

}  // namespace drunvale
