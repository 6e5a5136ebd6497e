// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDBusConnection>
#include <QObject>
#include <cstdint>
#include <optional>

#include "platform/display_keeper.h"

namespace drunvale {

// Asks the desktop not to blank or lock the screen, through the freedesktop screen-saver
// interface on the session bus (org.freedesktop.ScreenSaver Inhibit and UnInhibit), as video
// players do. The calls never wait: the cookie comes back later, and a release that comes
// before it lets go as soon as it arrives. Without a session bus or a desktop that offers the
// interface nothing is held, and nothing fails. The desktop also lets go when the program ends.
class ScreenSaverInhibitor final : public QObject, public DisplayKeeper {
  Q_OBJECT

 public:
  explicit ScreenSaverInhibitor(QDBusConnection bus = QDBusConnection::sessionBus(),
                                QObject* parent = nullptr);
  ~ScreenSaverInhibitor() override;

  void Hold() override;
  void Release() override;
  // The desktop has said yes and has not been told to let go.
  bool Holding() const { return cookie_.has_value(); }

 private:
  void Answered(std::optional<uint32_t> cookie);
  void LetGo(uint32_t cookie);

  QDBusConnection bus_;
  bool wanted_ = false;
  bool asking_ = false;  // an Inhibit call is on its way
  std::optional<uint32_t> cookie_;
};

}  // namespace drunvale
