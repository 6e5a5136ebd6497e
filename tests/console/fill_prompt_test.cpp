// SPDX-License-Identifier: GPL-3.0-or-later
// The console's fill-up, key by key.
#include "console/fill_prompt.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace drunvale {
namespace {

struct Terminal {
  std::vector<std::string> lines;
  std::string typed;
  std::vector<FillProposal> recorded;
  TankState tank{40.0, 1714550000, {}};

  FillPrompt Prompt() {
    return FillPrompt({[this](const std::string& line) { lines.push_back(line); },
                       [this](const std::string& text) { typed += text; }, [this] { return tank; },
                       [] { return 10000u; },
                       [this](const FillProposal& fill) {
                         recorded.push_back(fill);
                         return std::string();
                       }});
  }
  void Type(FillPrompt& prompt, std::string_view keys) {
    for (char key : keys)
      prompt.Key(key);
  }
};

TEST(FillPrompt, LitresAreTypedShownAndRecordedOnlyWhenConfirmed) {
  Terminal terminal;
  FillPrompt prompt = terminal.Prompt();
  prompt.Begin();
  EXPECT_TRUE(prompt.Active());
  terminal.Type(prompt,
                "4x2\x7f"
                "1,5\r");  // a stray letter is ignored, a slip rubbed out
  EXPECT_NE(terminal.typed.find("42\b \b1,5"), std::string::npos) << terminal.typed;
  ASSERT_GE(terminal.lines.size(), 3u);
  EXPECT_NE(terminal.lines[1].find("1.0000 → 1.0375"), std::string::npos) << terminal.lines[1];
  terminal.Type(prompt, "ry");
  ASSERT_EQ(terminal.recorded.size(), 1u);
  EXPECT_EQ(terminal.recorded[0].pumped, 41.5);
  EXPECT_EQ(terminal.recorded[0].after, 10375u);
  EXPECT_FALSE(prompt.Active());

  // A partial fill is offered as not full only; Esc lets it be.
  prompt.Begin();
  terminal.Type(prompt, "60\r");
  EXPECT_NE(terminal.lines.back().find("неполную"), std::string::npos);
  terminal.Type(prompt, "y");
  ASSERT_EQ(terminal.recorded.size(), 2u);
  EXPECT_EQ(terminal.recorded[1].verdict, FillVerdict::NotFull);
  prompt.Begin();
  terminal.Type(prompt, "30\r\x1b");
  EXPECT_EQ(terminal.recorded.size(), 2u);
  EXPECT_EQ(terminal.lines.back(), "-- заправка не записана");
}

}  // namespace
}  // namespace drunvale
