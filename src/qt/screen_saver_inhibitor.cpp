// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/screen_saver_inhibitor.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace drunvale {
namespace {

const QString kService = QStringLiteral("org.freedesktop.ScreenSaver");
const QString kPath = QStringLiteral("/org/freedesktop/ScreenSaver");

QDBusMessage Call(const QString& method) {
  return QDBusMessage::createMethodCall(kService, kPath, kService, method);
}

}  // namespace

ScreenSaverInhibitor::ScreenSaverInhibitor(QDBusConnection bus, QObject* parent)
    : QObject(parent), bus_(std::move(bus)) {}

ScreenSaverInhibitor::~ScreenSaverInhibitor() {
  Release();
}

void ScreenSaverInhibitor::Hold() {
  wanted_ = true;
  if (cookie_ || asking_ || !bus_.isConnected()) return;
  QDBusMessage inhibit = Call(QStringLiteral("Inhibit"));
  inhibit << QStringLiteral("Drunvale") << QStringLiteral("Опрос блока управления двигателем");
  asking_ = true;
  auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(inhibit), this);
  connect(watcher, &QDBusPendingCallWatcher::finished, this,
          [this](QDBusPendingCallWatcher* finished) {
            QDBusPendingReply<uint32_t> reply = *finished;
            finished->deleteLater();
            Answered(reply.isValid() ? std::optional<uint32_t>(reply.value()) : std::nullopt);
          });
}

void ScreenSaverInhibitor::Answered(std::optional<uint32_t> cookie) {
  asking_ = false;
  if (!cookie) return;  // no such service here: nothing is held
  if (wanted_) {
    cookie_ = cookie;
  } else {
    LetGo(*cookie);  // released while the answer was on its way
  }
}

void ScreenSaverInhibitor::Release() {
  wanted_ = false;
  if (!cookie_) return;
  LetGo(*cookie_);
  cookie_.reset();
}

void ScreenSaverInhibitor::LetGo(uint32_t cookie) {
  QDBusMessage unInhibit = Call(QStringLiteral("UnInhibit"));
  unInhibit << cookie;
  // Sent at once; the answer carries nothing to wait for.
  bus_.send(unInhibit);
}

}  // namespace drunvale
