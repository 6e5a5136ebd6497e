// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "settings/settings.h"

namespace drunvale {
namespace {

// Readers on other threads must see one whole Settings or the other, never a mix of a Save in
// progress.
TEST(SharedSettings, ReadersSeeOnlyWholeSnapshotsWhileTheyAreReplaced) {
  Settings a;
  Settings b;
  b.Port = std::string(300, 'b');  // long enough to live on the heap
  b.WavOver = "over.wav";
  b.Params.BaudRate = 57600;
  b.Params.FuelPrice = 99.5f;
  b.Params.LevelMax.SampleRate = 8000;

  SharedSettings shared(a);
  std::atomic<bool> done{false};
  std::atomic<int> mixed{0};
  std::vector<std::thread> readers;
  for (int r = 0; r < 2; ++r) {
    readers.emplace_back([&] {
      while (!done.load()) {
        const Settings seen = shared.Get();
        if (!(seen == a || seen == b)) ++mixed;
        const Parameters params = shared.GetParameters();
        if (!(params == a.Params || params == b.Params)) ++mixed;
      }
    });
  }
  for (int i = 0; i < 20000; ++i)
    shared.Set(i % 2 == 0 ? b : a);
  done = true;
  for (auto& reader : readers)
    reader.join();
  EXPECT_EQ(mixed.load(), 0);
  EXPECT_EQ(shared.Get(), a);
}

}  // namespace
}  // namespace drunvale
