// SPDX-License-Identifier: GPL-3.0-or-later
// drunvale-pictures FOLDER [NAME...]: draws every window (or the named ones) to FOLDER/NAME.png
// off screen. drunvale-pictures --list names them.
#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>

#include "window_pictures.h"

int main(int argc, char** argv) {
  using drunvale::WindowPicture;
  if (argc < 2 || std::strcmp(argv[1], "--help") == 0) {
    std::fprintf(stderr, "usage: drunvale-pictures FOLDER [NAME...] | --list\n");
    return 2;
  }
  if (std::strcmp(argv[1], "--list") == 0) {
    for (const WindowPicture& picture : drunvale::WindowPictures())
      std::printf("%-26s %s\n", picture.name, picture.what);
    return 0;
  }
  // The same pictures on every machine, with or without a display.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);

  const QDir folder(QString::fromLocal8Bit(argv[1]));
  if (!QDir().mkpath(folder.path())) {
    std::fprintf(stderr, "drunvale-pictures: cannot make %s\n", argv[1]);
    return 1;
  }
  std::set<std::string> wanted(argv + 2, argv + argc);
  // Once the named ones are drawn, the rest are not.
  const bool all = wanted.empty();
  int status = 0;
  for (const WindowPicture& picture : drunvale::WindowPictures()) {
    if (!all && wanted.erase(picture.name) == 0) continue;
    auto window = picture.make();
    window->show();
    QApplication::processEvents();
    const QString file = folder.filePath(QString::fromLatin1(picture.name) + ".png");
    if (window->grab().save(file)) {
      std::printf("%s\n", file.toLocal8Bit().constData());
    } else {
      std::fprintf(stderr, "drunvale-pictures: cannot write %s\n", file.toLocal8Bit().constData());
      status = 1;
    }
  }
  for (const std::string& unknown : wanted) {
    std::fprintf(stderr, "drunvale-pictures: no window called %s\n", unknown.c_str());
    status = 2;
  }
  return status;
}
