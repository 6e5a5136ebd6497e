// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <chrono>

#include "link/kwp_link.h"
#include "link/link_test_outlets.h"
#include "settings/settings.h"
#include "sim/elm_pipe.h"

namespace drunvale::testing {
namespace {

using namespace std::chrono_literals;

struct ElmCase {
  const char* name;
  sim::ElmQuirks quirks;
  AdapterKind kind;
};

// The real link through the simulated ELM327, found by itself or named, on a genuine chip and
// on a clone that lacks FI, KW and WM and splits its prompt from the data: the same samples as
// the unit served, the summary at the chip's 10400; a pulled adapter is lost and found again.
TEST(ElmLink, TheLinkPollsThroughTheChipAndFindsItAgainAfterAnUnplug) {
  sim::ElmQuirks clone;
  clone.noFi = clone.noKw = clone.noWm = true;
  clone.splitPrompt = true;
  clone.garbageBeforeBanner = true;
  for (const ElmCase& c : {ElmCase{"genuine, found", {}, AdapterKind::Automatic},
                           ElmCase{"clone, named", clone, AdapterKind::Elm}}) {
    SCOPED_TRACE(c.name);
    sim::ElmPipe pipe(sim::ElmSimConfig{.quirks = c.quirks});
    Settings settings;
    settings.Port = "elm";
    settings.Adapter = c.kind;
    settings.Params.BaudRate = 38400;  // asked for, but the chip's K-line stays at 10400
    SharedSettings shared(settings);
    TextLog texts;
    SampleLog samples;
    KwpLink link(shared, samples.Outlet(), nullptr, SystemTickClock(),
                 [&](const std::string&) { return pipe.Open(); });
    link.Start(texts.Outlet());
    ASSERT_TRUE(samples.WaitFor(3, 30s));
    EXPECT_EQ(link.LinkSummary().substr(0, 10), "elm : 1040");
    const std::vector<sim::ServedSample> served = pipe.ServedSamples();
    const std::vector<Sample> got = samples.All();
    ASSERT_GE(served.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
      EXPECT_EQ(got[i].speed, served[i].speed);
      EXPECT_EQ(got[i].fuel, served[i].fuel);
    }
    if (c.kind == AdapterKind::Automatic) EXPECT_EQ(link.FoundAdapter(), AdapterKind::Elm);

    pipe.Unplug();
    EXPECT_TRUE(texts.WaitFor("Связь с адаптером elm потеряна.", 1, 10s));
    const size_t before = samples.All().size();
    pipe.Replug();
    EXPECT_TRUE(samples.WaitFor(before + 2, 30s));
    link.Stop();
  }
}

}  // namespace
}  // namespace drunvale::testing
