#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <string>

#include "ui/instance_lock.h"

class QLocalServer;
class QWidget;

namespace drunvale {

// One running copy per user. Claim comes first, before anything else is built: the first
// copy takes the lock and later listens on a socket in the user's private folder; a second
// copy finds the lock taken, asks the first through that socket to come forward, and ends.
class SingleInstance : public QObject {
  Q_OBJECT

 public:
  // `directory` must be private to the user (see UserInstanceDirectory); empty switches the
  // rule off.
  explicit SingleInstance(std::string directory);
  ~SingleInstance() override;

  enum class Role { First, Second };
  // Needs no QCoreApplication.
  Role Claim();

  // First copy, once the application object exists: answers the requests of later copies by
  // calling `onShowRequest`. A socket left by a copy that died is removed first; the lock
  // proves no one else listens on it.
  bool Serve(std::function<void()> onShowRequest);

  std::string SocketPath() const { return directory_ + "/instance.sock"; }
  const std::string& LastError() const { return error_; }

  static constexpr int kConnectTimeoutMs = 5000;

 private:
  void OnNewConnection();

  std::string directory_;
  std::string error_;
  InstanceLock lock_;
  std::unique_ptr<QLocalServer> server_;
  std::function<void()> onShowRequest_;
};

// Brings the program forward: whatever modal window is open over the main window (the
// settings or the About box) or else the main window, restored if minimised.
void BringToFront(QWidget* mainWindow);

}  // namespace drunvale
