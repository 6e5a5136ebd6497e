// SPDX-License-Identifier: GPL-3.0-or-later
#include "qt/application_start.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/exit_codes.h"

namespace drunvale {
namespace {

// Only the main thread builds the application, and no other thread logs through Qt yet.
std::vector<std::string>* heldMessages = nullptr;

void HoldWhileConnecting(QtMsgType type, const QMessageLogContext& context,
                         const QString& message) {
  if (type == QtFatalMsg) {
    // Qt would abort next. This runs before anything of ours is built, so ending here is clean.
    std::fputs(kNoDisplayMessage, stderr);
    std::fflush(stderr);
    std::_Exit(kExitNoDisplay);
  }
  heldMessages->push_back(qFormatLogMessage(type, context, message).toStdString());
}

}  // namespace

std::unique_ptr<QApplication> StartApplicationOrExit(int& argc, char** argv) {
  std::vector<std::string> held;
  heldMessages = &held;
  QtMessageHandler previous = qInstallMessageHandler(HoldWhileConnecting);
  auto application = std::make_unique<QApplication>(argc, argv);
  qInstallMessageHandler(previous);
  heldMessages = nullptr;
  for (const std::string& line : held)
    std::fprintf(stderr, "%s\n", line.c_str());
  return application;
}

}  // namespace drunvale
