#include "ui/about_dialog.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include "ui/app_icon.h"
#include "ui/dialog_units.h"
#include "ui/static_text.h"
#include "ui/window_placement.h"

namespace drunvale {

const char* AboutDialog::Disclaimer() {
  return "Используя данный программный продукт, пользователь автоматически соглашается со "
         "следующими условиями:\n"
         "\n"
         "1. Продукт предоставляется «как есть», без каких-либо гарантий, включая, но не "
         "ограничиваясь ими, гарантии работоспособности, пригодности к коммерческому "
         "использованию или пригодности для определённой цели.\n"
         "\n"
         "2. Автор программы не несёт никакой ответственности за любой ущерб, причинённый "
         "использованием данного программного продукта.";
}

AboutDialog::AboutDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
  setWindowTitle(QStringLiteral("О Drunvale"));
  setWindowIcon(AppIcon());
  setFont(DialogFont(logicalDpiY()));
  DialogBaseUnits units = DialogBaseUnits::Of(font());
  setFixedSize(units.ToPixelsX(220), units.ToPixelsY(119));

  // An icon static takes the size of its icon.
  auto* icon = new QLabel(this);
  icon->setObjectName(QStringLiteral("icon"));
  icon->setPixmap(AppIcon().pixmap(32, 32));
  icon->setGeometry(QRect(units.ToPixels(14, 6, 0, 0).topLeft(), QSize(32, 32)));

  auto* version = new StaticText(QStringLiteral("Drunvale - версия 1.1"), Qt::AlignHCenter, this);
  version->setObjectName(QStringLiteral("version"));
  version->setGeometry(units.ToPixels(39, 8, 126, 24));

  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setObjectName(QStringLiteral("2"));
  ok->setDefault(true);
  ok->setGeometry(units.ToPixels(174, 10, 36, 14));
  connect(ok, &QPushButton::clicked, this, [this] { done(kClosedResult); });

  auto* text = new QPlainTextEdit(this);
  text->setObjectName(QStringLiteral("1044"));
  text->setPlainText(QString::fromUtf8(Disclaimer()));
  text->setReadOnly(true);
  // Read-only still lets the reader select and copy, by mouse and by keyboard.
  text->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  text->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  text->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  text->setFrameStyle(QFrame::Box | QFrame::Plain);
  text->setLineWidth(1);
  text->setGeometry(units.ToPixels(6, 36, 210, 78));

  ok->setFocus();
}

void AboutDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!placed_) {
    placed_ = true;
    CentreOverOwner(this, parentWidget());
  }
}

}  // namespace drunvale
