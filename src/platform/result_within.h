// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>

namespace drunvale {

// Runs work on a thread of its own and waits for its result until the deadline. Work still
// running then is left to end by itself and its result is dropped: for a system call that
// can't be cancelled or given a time limit (looking up a host name), so that a caller being
// stopped does not wait for it. Nothing when the time ran out or no thread could be started.
template <class Result>
std::optional<Result> ResultWithin(std::chrono::steady_clock::time_point deadline,
                                   std::function<Result()> work) {
  struct Shared {
    std::mutex mutex;
    std::condition_variable done;
    std::optional<Result> result;
  };
  auto shared = std::make_shared<Shared>();
  try {
    std::thread([shared, work = std::move(work)] {
      Result result = work();
      std::lock_guard lock(shared->mutex);
      shared->result = std::move(result);
      shared->done.notify_all();
    }).detach();
  } catch (const std::system_error&) {
    return std::nullopt;
  }
  std::unique_lock lock(shared->mutex);
  if (!shared->done.wait_until(lock, deadline, [&] { return shared->result.has_value(); }))
    return std::nullopt;
  return std::move(shared->result);
}

}  // namespace drunvale
