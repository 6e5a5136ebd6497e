// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace drunvale {

// How a file operation in the data folder ended. The system's own code (errno, GetLastError)
// is kept for the words the system has for it.
struct [[nodiscard]] FileResult {
  enum class Status {
    Ok,
    NotFound,  // no such file (or no folder yet)
    Busy,      // held by another program, or by another copy of this one
    NoSpace,   // the disk or the user's quota is full
    NoAccess,  // no right to write there, or a read-only medium
    Failed,    // anything else
  };
  Status status = Status::Ok;
  int systemError = 0;

  bool Ok() const { return status == Status::Ok; }
};

// The per-user folder the program keeps its own files in (the trip journal), with the few
// operations the journal needs. Files are named plainly ("trips.csv") and lie in the folder
// itself; the folder, and any missing above it, is made by the first operation that writes.
class DataFolder {
 public:
  virtual ~DataFolder() = default;

  // Where the folder is, as the system writes paths (shown to the user, opened for them).
  virtual std::string Path() const = 0;
  // The full path of a file in it.
  virtual std::string PathOf(std::string_view name) const = 0;

  // The whole file; NotFound when there is none.
  virtual FileResult Read(std::string_view name, std::string& bytes) = 0;
  // Adds line at the end and never touches what is there already. header goes first when the
  // file is missing or empty; a line break goes first when the file does not end with one (the
  // tail of a write that was cut short stays a line of its own). A write that fails part way
  // is cut back to where it began.
  virtual FileResult AppendLine(std::string_view name, std::string_view header,
                                std::string_view line) = 0;
  // Replaces the file whole or not at all: a temporary file beside it, flushed to the disk,
  // then renamed over it.
  virtual FileResult Replace(std::string_view name, std::string_view bytes) = 0;
  // A file that is not there counts as removed. The removal is durable when this returns.
  virtual FileResult Remove(std::string_view name) = 0;
  // Gives a file a new name that no file has yet; Busy when one has it.
  virtual FileResult Rename(std::string_view name, std::string_view newName) = 0;
  // Makes this copy of the program the one that writes here, until the object goes; the
  // system lets go when the process ends, however it ends. Busy when another copy holds it.
  virtual FileResult Claim() = 0;
};

// The user's data folder: $XDG_DATA_HOME/Tembrook/Drunvale (~/.local/share/... when unset) on
// Linux, %LOCALAPPDATA%\Tembrook\Drunvale on Windows. Its path is empty when the system names
// no such place for the user; every operation then fails.
std::unique_ptr<DataFolder> OpenUserDataFolder();
// Where the user's data folder is, in words for a help text.
std::string UserDataFolderPlace();
// A data folder at the given path (absolute, UTF-8).
std::unique_ptr<DataFolder> OpenDataFolderAt(const std::string& path);

}  // namespace drunvale
