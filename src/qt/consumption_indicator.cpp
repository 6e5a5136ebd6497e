// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/consumption_indicator.h"

#include <qdrawutil.h>
#include <QPainter>
#include <QStringList>

namespace drunvale {

ConsumptionIndicator::ConsumptionIndicator(QWidget* parent) : QWidget(parent), font_(DigitFont()) {
  // Every paint covers the whole widget, so Qt need not clear it first.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAutoFillBackground(false);
}

void ConsumptionIndicator::SetSource(std::function<std::string()> text,
                                     std::function<Rgb()> colour) {
  text_ = std::move(text);
  colour_ = std::move(colour);
  update();
}

QRect ConsumptionIndicator::ClientRect() const {
  return rect().adjusted(kFrameWidth, kFrameWidth, -kFrameWidth, -kFrameWidth);
}

Rgb ConsumptionIndicator::DigitColour() const {
  return colour_ ? colour_() : IndicatorTextColour(true, false);
}

QFont ConsumptionIndicator::DigitFont() {
  QFont font;
  font.setFamilies({QStringLiteral("Liberation Sans"), QString::fromUtf8(kIndicatorFace)});
  font.setStyleHint(QFont::SansSerif);
  font.setBold(true);
  // For a scalable face the pixel size is the em height, which is the character height a
  // negative Windows font height asks for: the cell less its internal leading.
  font.setPixelSize(kCharacterHeight);
  return font;
}

void ConsumptionIndicator::PaintEdges(QPainter& painter) const {
  const QPalette& pal = palette();
  QRect outer = rect();
  // Dialog-frame edge: two raised lines, then one line of face colour.
  qDrawWinPanel(&painter, outer, pal, false);
  QRect face = outer.adjusted(2, 2, -2, -2);
  painter.setPen(pal.color(QPalette::Button));
  painter.drawRect(face.adjusted(0, 0, -1, -1));
  // Client edge: two sunken lines.
  qDrawWinPanel(&painter, face.adjusted(1, 1, -1, -1), pal, true);
}

void ConsumptionIndicator::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  PaintEdges(painter);

  QRect client = ClientRect();
  painter.fillRect(client, Background());

  QString text = text_ ? QString::fromStdString(text_()) : QString();
  // Client coordinates: the text cell begins above the client area and is clipped to it.
  painter.setClipRect(client);
  painter.translate(client.topLeft());
  QRect textRect(0, -kTextLift, client.width() - kRightMargin, client.height() + kTextLift);
  painter.setFont(font_);
  painter.setPen(ToQColor(DigitColour()));
  painter.drawText(textRect, Qt::AlignRight | Qt::AlignTop | Qt::TextSingleLine, text);
}

}  // namespace drunvale
