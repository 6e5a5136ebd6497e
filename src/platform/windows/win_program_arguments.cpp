// SPDX-License-Identifier: GPL-3.0-or-later
#include <windows.h>

#include <shellapi.h>

#include "platform/program_arguments.h"
#include "platform/windows/wide_text.h"

namespace drunvale {

std::vector<std::string> ProgramArguments(int argc, char** argv) {
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  // Only when memory runs out: main's own arguments are better than none.
  if (!wide) return std::vector<std::string>(argv, argv + argc);
  std::vector<std::string> arguments;
  for (int i = 0; i < count; ++i)
    arguments.push_back(Utf8FromWide(wide[i]));
  LocalFree(wide);
  return arguments;
}

}  // namespace drunvale
