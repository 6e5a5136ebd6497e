// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFrame>
#include <QString>

namespace drunvale {

// A static text control as dialogs have it: lines at a fixed pitch of whole pixels (the
// font's line height), each aligned on its own, starting right inside the border. Labels
// lay lines out at fractional pitches, which would let a value column drift away from its
// row captions and push the last line out of its box.
class StaticText : public QFrame {
  Q_OBJECT

 public:
  StaticText(const QString& text, Qt::Alignment alignment, QWidget* parent = nullptr);

  void setText(const QString& text);
  const QString& text() const { return text_; }
  Qt::Alignment alignment() const { return alignment_; }
  int LinePitch() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString text_;
  Qt::Alignment alignment_;
};

}  // namespace drunvale
