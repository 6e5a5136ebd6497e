// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/single_instance.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <QWidget>
#include <cstdio>

namespace drunvale {
namespace {

constexpr qint64 kLongestRequest = 64;

void Restore(QWidget* window) {
  if (window->isMinimized()) window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
  window->show();
  window->raise();
}

}  // namespace

SingleInstance::SingleInstance(std::unique_ptr<InstanceLock> lock) : lock_(std::move(lock)) {}

SingleInstance::~SingleInstance() = default;

SingleInstance::Role SingleInstance::Claim() {
  switch (lock_->TryAcquire(error_)) {
    case InstanceLock::Result::Acquired:
      return Role::First;
    case InstanceLock::Result::HeldByAnother:
      if (!AskRunningInstanceToShow(SocketPath(), kConnectTimeoutMs)) {
        std::fprintf(stderr, "drunvale: already running, but it did not answer\n");
      }
      return Role::Second;
    case InstanceLock::Result::Failed:
      break;
  }
  // A broken lock must not keep the user from the program: run without the rule.
  std::fprintf(stderr, "drunvale: cannot tell whether another copy runs: %s\n", error_.c_str());
  return Role::First;
}

bool SingleInstance::Serve(std::function<void()> onShowRequest) {
  if (!lock_->Held()) return false;
  onShowRequest_ = std::move(onShowRequest);
  QString path = QString::fromStdString(SocketPath());
  QLocalServer::removeServer(path);
  server_ = std::make_unique<QLocalServer>();
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  if (!server_->listen(path)) {
    error_ = server_->errorString().toStdString();
    server_.reset();
    return false;
  }
  connect(server_.get(), &QLocalServer::newConnection, this, &SingleInstance::OnNewConnection);
  return true;
}

void SingleInstance::OnNewConnection() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    socket->setParent(this);
    auto readRequest = [this, socket] {
      if (socket->canReadLine()) {
        QByteArray line = socket->readLine(kLongestRequest);
        if (line == kShowRequest && onShowRequest_) onShowRequest_();
        socket->disconnectFromServer();
      } else if (socket->bytesAvailable() > kLongestRequest) {
        socket->abort();
      }
    };
    connect(socket, &QLocalSocket::readyRead, this, readRequest);
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    readRequest();
  }
}

bool AskRunningInstanceToShow(const std::string& socketPath, int timeoutMs) {
  const QString name = QString::fromStdString(socketPath);
  QDeadlineTimer deadline(timeoutMs);
  for (;;) {
    QLocalSocket socket;
    socket.connectToServer(name);
    if (socket.waitForConnected(static_cast<int>(deadline.remainingTime()))) {
      // The request fits in the socket's buffer: the other copy reads it whenever its event
      // loop gets to it, after this one has gone.
      const qint64 length = sizeof(kShowRequest) - 1;
      const bool sent =
          socket.write(kShowRequest, length) == length && socket.waitForBytesWritten();
      socket.disconnectFromServer();
      return sent;
    }
    // The lock's holder may not be listening yet while it is still starting.
    if (deadline.hasExpired()) return false;
    QThread::msleep(50);
  }
}

void BringToFront(QWidget* mainWindow) {
  if (!mainWindow) return;
  Restore(mainWindow);
  QWidget* front = QApplication::activeModalWidget();
  if (!front || front == mainWindow) {
    front = mainWindow;
  } else {
    Restore(front);
  }
  front->activateWindow();
}

}  // namespace drunvale
