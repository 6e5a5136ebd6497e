// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <functional>
#include <memory>
#include <span>

namespace drunvale {

// One picture: a window in a state worth looking at, made by `make`, drawn to `name`.png.
struct WindowPicture {
  const char* name;
  const char* what;
  std::function<std::unique_ptr<QWidget>()> make;
};

// Every picture, a new window's among them: add its entry to the list in window_pictures.cpp.
std::span<const WindowPicture> WindowPictures();

}  // namespace drunvale
