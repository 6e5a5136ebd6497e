// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <string>

#include "platform/instance_lock.h"

class QLocalServer;
class QWidget;

namespace drunvale {

// One running copy per user. Claim comes first, before anything else is built: the first
// copy takes the lock and later listens at the lock's meeting point; a second copy finds the
// lock taken, asks the first through that point to come forward, and ends.
class SingleInstance : public QObject {
  Q_OBJECT

 public:
  explicit SingleInstance(std::unique_ptr<InstanceLock> lock = MakeUserInstanceLock());
  ~SingleInstance() override;

  enum class Role { First, Second };
  // A lock that fails lets this copy run without the rule.
  Role Claim();

  // First copy: answers the requests of later copies by calling `onShowRequest`. A socket left
  // by a copy that died is removed first; the lock proves no one else listens on it.
  bool Serve(std::function<void()> onShowRequest);

  std::string SocketPath() const { return lock_->MeetingPoint(); }
  const std::string& LastError() const { return error_; }

  static constexpr int kConnectTimeoutMs = 5000;

 private:
  void OnNewConnection();

  std::unique_ptr<InstanceLock> lock_;
  std::string error_;
  std::unique_ptr<QLocalServer> server_;
  std::function<void()> onShowRequest_;
};

// Asks the copy listening at socketPath to bring its window forward: connects, retrying while
// it may still be starting, and sends the request. Never waits for the other copy's event
// loop. False when no one could be reached within timeoutMs.
bool AskRunningInstanceToShow(const std::string& socketPath, int timeoutMs);

inline constexpr char kShowRequest[] = "show\n";

// Brings the program forward: whatever modal window is open over the main window (the
// settings or the About box) or else the main window, restored if minimised.
void BringToFront(QWidget* mainWindow);

}  // namespace drunvale
