// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace drunvale {

// Syncs the folder the file at path lies in, so that a new name or a removal in it lasts
// through a power cut.
void SyncFolderOf(const std::string& path);

// Writes all of text to fd, going on after interrupted or short writes. 0, or the errno of the
// write that failed (ENOSPC for a write that made no progress).
int WriteAll(int fd, std::string_view text);

// Replaces the file at path whole or not at all: "<path>.tmp" beside it is written with mode
// 0600, synced and renamed over it, then the folder is synced. A leftover temporary file of an
// interrupted replacement goes first. 0, or the errno of the step that failed; the old file
// is then untouched and the temporary one removed.
int ReplaceFileAtomically(const std::string& path, std::string_view text);

// $variable when it holds an absolute path, else underHome inside the user's home folder
// (from $HOME or, failing that, the password database); empty when there is no home at all.
// The XDG base folders: ("XDG_CONFIG_HOME", ".config"), ("XDG_DATA_HOME", ".local/share").
std::string XdgBaseFolder(const char* variable, const char* underHome);

}  // namespace drunvale
