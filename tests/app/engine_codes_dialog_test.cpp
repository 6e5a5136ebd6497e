// SPDX-License-Identifier: GPL-3.0-or-later
// The engine codes window's logic against a scripted link: what it asks, what it shows, and
// that a request left unanswered goes with the window.
#include "app/engine_codes_dialog.h"

#include <gtest/gtest.h>

#include "app/codes_command.h"

namespace drunvale {
namespace {

struct ScriptedLink {
  bool running = true;
  std::vector<CodesMailbox::Ask> asked;
  std::optional<CodesReport> report;

  EngineCodesSource Source() {
    return {[this](CodesMailbox::Ask ask) { asked.push_back(ask); },
            [this] { return std::exchange(report, std::nullopt); }, [this] { return running; }};
  }
};

using Ask = CodesMailbox::Ask;

TEST(EngineCodesDialog, ReadsOnOpeningShowsTheCodesAndClearsOnlyWhenAsked) {
  ScriptedLink link;
  link.report = CodesReport{};  // left from a window closed earlier
  EngineCodesDialog dialog(link.Source());
  EXPECT_EQ(link.asked, std::vector<Ask>{Ask::Read});
  EXPECT_FALSE(dialog.Tick()) << "the old report was dropped";
  EXPECT_FALSE(dialog.Texts().clearEnabled);

  CodesReport read;
  read.codes = {{0x0130}, {0x4171, true}};
  read.lampOn = true;
  read.lampCount = 1;
  link.report = read;
  EXPECT_TRUE(dialog.Tick());
  const EngineCodesTexts& texts = dialog.Texts();
  EXPECT_EQ(texts.lamp, "Лампа неисправности горит (кодов: 1).");
  ASSERT_EQ(texts.rows.size(), 2u);
  EXPECT_EQ(texts.rows[0], (std::vector<std::string>{"P0130", "топливо и воздух", "сохранён"}));
  EXPECT_EQ(texts.rows[1][0], "C0171");
  EXPECT_EQ(texts.rows[1][2], "ожидает подтверждения");
  EXPECT_EQ(texts.status, "Кодов неисправностей: 2.");
  EXPECT_TRUE(texts.readEnabled && texts.clearEnabled);

  dialog.Clear();
  EXPECT_EQ(link.asked.back(), Ask::Clear);
  EXPECT_FALSE(texts.readEnabled || texts.clearEnabled);
  CodesReport cleared;
  cleared.outcome = CodesReport::Outcome::Cleared;
  link.report = cleared;
  EXPECT_TRUE(dialog.Tick());
  EXPECT_TRUE(texts.rows.empty());
  EXPECT_EQ(texts.lamp, "");
  EXPECT_EQ(texts.status, "Коды неисправностей стёрты.");
  EXPECT_EQ(link.asked.size(), 2u);
}

TEST(EngineCodesDialog, SaysWhenNothingAnswersAndWithdrawsWhatIsLeftOnClosing) {
  ScriptedLink link;
  link.running = false;
  {
    EngineCodesDialog dialog(link.Source());
    EXPECT_TRUE(link.asked.empty()) << "nothing would serve it while the window is open";
    EXPECT_NE(dialog.Texts().status.find("«Старт»"), std::string::npos);
    EXPECT_FALSE(dialog.Texts().clearEnabled);
  }
  EXPECT_TRUE(link.asked.empty());

  link.running = true;
  {
    EngineCodesDialog dialog(link.Source());
    const int ticks = EngineCodesDialog::kTicksPerSecond * static_cast<int>(kCodesWait.count());
    for (int tick = 1; tick < ticks; ++tick)
      ASSERT_FALSE(dialog.Tick());
    EXPECT_TRUE(dialog.Tick());
    EXPECT_EQ(dialog.Texts().status,
              "Нет ответа от блока за 60 с;\nждём, пока связь восстановится.");
    EXPECT_TRUE(dialog.Texts().readEnabled);
  }
  EXPECT_EQ(link.asked, (std::vector<Ask>{Ask::Read, Ask::None}));
}

}  // namespace
}  // namespace drunvale
