// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "link/link_texts.h"
#include "link/session_rig.h"

// What the rig over a pseudo-terminal shows too is in link_scenarios_test.cpp; here are the
// exact virtual timings, the transcripts and what only a scripted port can do.
namespace drunvale::testing {
namespace {

// The timeline without its times, for looking at what follows what.
std::vector<std::string> Steps(const std::string& log) {
  std::vector<std::string> steps;
  std::istringstream in(log);
  for (std::string line; std::getline(in, line);)
    steps.push_back(line.substr(line.find(' ') + 1));
  return steps;
}

// Virtual times of the status texts equal to text.
std::vector<uint32_t> StatusTimes(const std::string& log, const std::string& text) {
  std::vector<uint32_t> times;
  std::istringstream in(log);
  for (std::string line; std::getline(in, line);) {
    if (line.ends_with(" status \"" + text + "\"")) times.push_back(std::stoul(line));
  }
  return times;
}

void StopAtPoll(SessionRig& rig, int poll) {
  int polls = 0;
  rig.ecu.onRequest = [&rig, poll, polls](uint8_t service) mutable {
    if (service == 0x21 && ++polls == poll) rig.stop.Set();
  };
}

TEST(EcuSession, GoldenTranscriptAt10400StoppedWhilePolling) {
  SessionRig rig(10400, true);
  StopAtPoll(rig, 2);
  EXPECT_EQ(rig.worker.RunWorker(), ExchangeResult::Stopped);
  // No rate switch: identification follows StartCommunication. The stop ends the polling
  // before its next send, and the session is still closed. The pause is told before the
  // session and as soon as the polling ends.
  EXPECT_EQ(rig.TakeLog(),
            "1000 status \"Открываем COM1...\"\n"
            "1000 open COM1\n"
            "1000 timeouts\n"
            "1000 line 10400\n"
            "1000 rts 0\n"
            "1000 dtr 1\n"
            "1000 paused\n"
            "1000 purge\n"
            "1000 write 81 10 F1 20 A2\n"
            "1005 read 5/5 81 10 F1 20 A2\n"
            "1029 read 4/4 81 F1 10 60\n"
            "1030 read 1/1 E2\n"
            "1030 line 10400\n"
            "1130 purge\n"
            "1130 write 81 10 F1 82 04\n"
            "1135 read 5/5 81 10 F1 82 04\n"
            "1159 read 4/4 81 F1 10 C2\n"
            "1160 read 1/1 44\n"
            "1160 status \"Попытка установить контакт с контроллером...\"\n"
            "1260 purge\n"
            "1260 write 81 10 F1 81 03\n"
            "1265 read 5/5 81 10 F1 81 03\n"
            "1289 read 4/4 83 F1 10 C1\n"
            "1292 read 3/3 6B 8F 3F\n"
            "1392 purge\n"
            "1392 write 82 10 F1 1A 80 1D\n"
            "1398 read 6/6 82 10 F1 1A 80 1D\n"
            "1422 read 4/4 80 F1 10 65\n"
            "1524 read 102/102 5A 80 2A 2A 2A 2A 2A 2A ... +94\n"
            "1524 status \"ECU-NAME Ver. 1.2  20240101\\r\\n\"\n"
            "1624 purge\n"
            "1624 write 82 10 F1 21 01 A5\n"
            "1630 read 6/6 82 10 F1 21 01 A5\n"
            "1654 read 4/4 A1 F1 10 61\n"
            "1687 read 33/33 01 A1 A2 00 A4 A5 A6 A7 ... +25\n"
            "1687 sample 50 29.1 10 running\n"
            "1787 purge\n"
            "1787 write 82 10 F1 21 01 A5\n"
            "1793 read 6/6 82 10 F1 21 01 A5\n"
            "1817 read 4/4 A1 F1 10 61\n"
            "1850 read 33/33 01 A1 A2 00 A4 A5 A6 A7 ... +25\n"
            "1850 sample 50 29.1 10 running\n"
            "1850 paused\n"
            "1950 purge\n"
            "1950 write 81 10 F1 20 A2\n"
            "1955 read 5/5 81 10 F1 20 A2\n"
            "1979 read 4/4 81 F1 10 60\n"
            "1980 read 1/1 E2\n"
            "1980 line 10400\n"
            "2080 purge\n"
            "2080 write 81 10 F1 82 04\n"
            "2085 read 5/5 81 10 F1 82 04\n"
            "2109 read 4/4 81 F1 10 C2\n"
            "2110 read 1/1 44\n"
            "2110 dtr 0\n"
            "2110 rts 0\n"
            "2110 close\n");
  EXPECT_EQ(rig.closes, 1);
  EXPECT_EQ(rig.worker.ErrorCount(), 0);
}

TEST(EcuSession, RateSwitchMovesTheLineStraightAfterThePositiveAnswerAndARefusalKeepsIt) {
  const struct {
    uint16_t baud;
    uint8_t code;
    const char* frame;
  } cases[] = {{38400, 0x26, "83 10 F1 10 81 26 3B"}, {57600, 0x39, "83 10 F1 10 81 39 4E"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.baud);
    SessionRig rig(c.baud);
    StopAtPoll(rig, 1);
    EXPECT_EQ(rig.worker.RunWorker(), ExchangeResult::Stopped);
    const std::string request =
        "Запрос продвинутой скорости обмена " + std::to_string(c.baud) + "...";
    const std::vector<std::string> steps = Steps(rig.TakeLog());
    auto at = [&](const std::string& step) {
      return std::find(steps.begin(), steps.end(), step) - steps.begin();
    };
    const auto line = at("line " + std::to_string(c.baud));
    ASSERT_LT(line, static_cast<long>(steps.size()));
    // Straight after the last byte of the answer 50 81, and the request after its text.
    EXPECT_EQ(steps[line - 1], "read 2/2 81 54");
    EXPECT_LT(at("status \"" + request + "\""), at(std::string("write ") + c.frame));
  }

  // Refused: the line stays, no identification, the session is closed and the worker waits to
  // try again.
  SessionRig refused(38400);
  refused.ecu.ignored = {0x10};
  refused.onStatus = [&](const std::string& text) {
    if (text == "›") refused.stop.Set();
  };
  EXPECT_EQ(refused.worker.RunWorker(), ExchangeResult::Stopped);
  EXPECT_EQ(refused.Count(0x10), 20);
  EXPECT_EQ(refused.Count(0x1A), 0);
  EXPECT_EQ(refused.ecu.requests.back(), Bytes{0x82});
  EXPECT_EQ(refused.port.baud(), 10400u);
  EXPECT_EQ(refused.worker.CurrentBaud(), 10400);
}

TEST(EcuSession, TheWarningBlinksEvery200MsAlsoAfterAShortContactAnswer) {
  std::vector<std::string> unknownKeyBytes;
  for (const Bytes& reply : {Bytes{0xC1, 0xEF, 0x8F}, Bytes{0xC1, 0x6B}, Bytes{0xC1}}) {
    SCOPED_TRACE(::testing::PrintToString(reply));
    SessionRig rig;
    rig.ecu.contactReply = reply;
    StopAtPoll(rig, 1);
    EXPECT_EQ(rig.worker.RunWorker(), ExchangeResult::Stopped);
    // A short answer is taken as unknown key bytes.
    if (unknownKeyBytes.empty()) unknownKeyBytes = rig.Statuses();
    EXPECT_EQ(rig.Statuses(), unknownKeyBytes);
    EXPECT_EQ(rig.samples.size(), 1u);

    const std::string log = rig.TakeLog();
    const std::vector<uint32_t> warnings = StatusTimes(log, kWarning);
    const std::vector<uint32_t> blanks = StatusTimes(log, "");
    ASSERT_EQ(warnings.size(), 5u);
    ASSERT_EQ(blanks.size(), 4u);
    for (size_t i = 0; i < blanks.size(); ++i) {
      EXPECT_EQ(blanks[i], warnings[i] + 200);
      EXPECT_EQ(warnings[i + 1], blanks[i] + 200);
    }
    // The identification request follows the last warning's 200 ms at once: its pacing has
    // long passed.
    EXPECT_NE(log.find(std::to_string(warnings[4] + 200) + " write 82 10 F1 1A 80 1D"),
              std::string::npos);
  }
}

TEST(EcuSession, StopDuringTheBlinkingEndsWithin200Ms) {
  SessionRig rig;
  rig.ecu.keyBytes = {0xEF, 0x8F};
  uint32_t stopAt = 0;
  rig.ecu.onRequest = [&](uint8_t service) {
    // Half-way through the second warning's wait.
    if (service == 0x81) rig.stop.SetAt(stopAt = rig.clock.NowMs() + 24 + 200 + 200 + 100);
  };
  EXPECT_EQ(rig.worker.RunWorker(), ExchangeResult::Stopped);
  EXPECT_LE(rig.clock.NowMs() - stopAt, 200u);
  EXPECT_EQ(rig.Statuses().back(), kWarning);  // the second one
}

TEST(EcuSession, LiveDataBecomesSamplesAndAShortBlockNeverDoes) {
  SessionRig rig;
  int polls = 0;
  rig.ecu.live = LiveBlock(0x01, 0, 0x0123, 0x01F4);
  rig.ecu.onRequest = [&](uint8_t service) {
    if (service != 0x21) return;
    ++polls;
    if (polls == 2) rig.ecu.live = LiveBlock(0x02, 120, 0, 0xFFFF);
    // The earlier full block still lies in the buffer behind a short one.
    if (polls == 3) rig.ecu.live = LiveBlock(0x00, 90, 5, 5, 28);
    if (polls == 5) rig.stop.Set();
  };
  EXPECT_EQ(rig.worker.RunWorker(), ExchangeResult::Stopped);
  ASSERT_EQ(rig.samples.size(), 2u);
  EXPECT_EQ(rig.samples[0].air, 29.1f);
  EXPECT_EQ(rig.samples[0].fuel, 10.0f);
  EXPECT_EQ(rig.samples[0].speed, 0.0f);
  EXPECT_FALSE(rig.samples[0].running);
  EXPECT_EQ(rig.samples[1].speed, 120.0f);
  EXPECT_EQ(rig.samples[1].air, 0.0f);
  EXPECT_EQ(rig.samples[1].fuel, 65535 * 0.02f);
  EXPECT_TRUE(rig.samples[1].running);
  EXPECT_EQ(rig.Count(0x21), 5);          // the short blocks did not end the polling
  EXPECT_EQ(rig.worker.ErrorCount(), 3);  // polls 3 to 5 each count as one more attempt
}

TEST(EcuSession, SilentControlUnitCountsEachFailureThenTheMarksTakeFiveSeconds) {
  SessionRig rig;
  int polls = 0;
  rig.ecu.onRequest = [&](uint8_t service) {
    if (service == 0x21 && ++polls == 3) rig.ecu.silent = true;  // ignition off
  };
  int32_t errorsAtClose = 0;
  uint32_t secondOpen = 0;
  rig.onOpen = [&] {
    if (rig.opens == 1) return;
    secondOpen = rig.clock.NowMs();
    rig.ecu.silent = false;
    StopAtPoll(rig, 1);
  };
  rig.onStatus = [&](const std::string& text) {
    if (text == "›") errorsAtClose = rig.worker.ErrorCount();
  };

  EXPECT_EQ(rig.worker.RunWorker(), ExchangeResult::Stopped);
  EXPECT_EQ(errorsAtClose, 19 + 3 + 3);

  // One more mark every 100 ms from the close on; the port opens again 5 s after the first.
  const std::string log = rig.TakeLog();
  const size_t close = log.find(" close\n");
  ASSERT_NE(close, std::string::npos);
  const uint32_t closedAt = std::stoul(log.substr(log.rfind('\n', close) + 1));
  for (int i = 0; i < 50; ++i)
    EXPECT_EQ(StatusTimes(log, Marks(i + 1)), std::vector<uint32_t>{closedAt + 100u * i});
  EXPECT_EQ(secondOpen, closedAt + 5000);
}

TEST(EcuSession, PollsThatKeepFailingWhileTheSessionClosesMeanWaitingAndOpeningAnew) {
  SessionRig rig;
  rig.ecu.ignored = {0x21};  // every poll unanswered, the closing requests answered
  rig.onOpen = [&] {
    if (rig.opens == 2) rig.stop.Set();
  };
  EXPECT_EQ(rig.worker.RunWorker(), ExchangeResult::Stopped);
  EXPECT_EQ(rig.opens, 2);
  const std::vector<std::string> statuses = rig.Statuses();
  EXPECT_NE(std::find(statuses.begin(), statuses.end(), Marks(50)), statuses.end());
}

TEST(EcuSession, OpeningCloseIsNotCountedAndAPortFailureSkipsTheClosingRequests) {
  SessionRig rig;
  rig.ecu.ignored = {0x20, 0x82};  // no session to close
  int32_t errorsWhileClosing = 0;
  rig.ecu.onRequest = [&](uint8_t service) {
    if (service == 0x82) errorsWhileClosing = rig.worker.ErrorCount();
    if (service == 0x81) rig.port.FailRead(2);  // the rest of StartCommunication's answer
  };
  rig.onStatus = [&](const std::string& text) {
    if (text == "›") rig.stop.Set();
  };
  EXPECT_EQ(rig.worker.RunWorker(), ExchangeResult::Stopped);
  EXPECT_LT(errorsWhileClosing, -990);
  EXPECT_EQ(rig.worker.ErrorCount(), 0);
  EXPECT_EQ(rig.ecu.requests.back(), Bytes{0x81});  // no closing after a port failure
  EXPECT_EQ(rig.closes, 1);
  EXPECT_EQ(rig.Statuses(), (std::vector<std::string>{"Открываем COM1...", kContact,
                                                      "Связь с адаптером COM1 потеряна.", "›"}));
}

TEST(EcuSession, ModemLinesAreSetAfterOpeningBeforeAnyByteGoesOut) {
  for (const bool dtrOn : {false, true}) {
    for (const bool lines : {true, false}) {
      SCOPED_TRACE(::testing::Message() << "DtrOn " << dtrOn << ", modem lines " << lines);
      SessionRig rig(10400, dtrOn);
      rig.port.SetModemLinesPresent(lines);  // without them: a pseudo-terminal, ENOTTY
      StopAtPoll(rig, 1);
      EXPECT_EQ(rig.worker.RunWorker(), ExchangeResult::Stopped);
      const std::vector<std::string> steps = Steps(rig.TakeLog());
      const std::string failed = lines ? "" : " FAILED";
      const std::vector<std::string> opening(steps.begin() + 1, steps.begin() + 6);
      EXPECT_EQ(opening,
                (std::vector<std::string>{"open COM1", "timeouts", "line 10400", "rts 0" + failed,
                                          "dtr " + std::to_string(dtrOn) + failed}));
      EXPECT_EQ(rig.samples.size(), 1u);
    }
  }
}

TEST(EcuSession, APortThatFailsOrWillNotOpenIsTriedAgainAfterTheWaitingIndicator) {
  SessionRig rig;
  rig.openFails = true;  // not there yet at the first attempt
  int polls = 0;
  std::vector<uint32_t> opens;
  rig.onOpen = [&] {
    opens.push_back(rig.clock.NowMs());
    rig.openFails = rig.opens < 2;
  };
  rig.ecu.onRequest = [&](uint8_t service) {
    if (service != 0x21) return;
    if (++polls == 2) rig.port.FailRead();  // pulled out while its echo comes back
    if (polls == 3) rig.stop.Set();
  };
  uint32_t lostAt = 0;
  rig.onStatus = [&](const std::string& text) {
    if (text.starts_with("Связь")) lostAt = rig.clock.NowMs();
  };

  EXPECT_EQ(rig.worker.RunWorker(), ExchangeResult::Stopped);
  std::vector<std::string> waiting;
  for (int i = 1; i <= 50; ++i)
    waiting.push_back(Marks(i));
  const std::vector<std::string> session = {"Открываем COM1...", kContact,
                                            "ECU-NAME Ver. 1.2  20240101\r\n"};
  std::vector<std::string> expected = {"Открываем COM1...", "Не удаётся открыть COM1."};
  expected.insert(expected.end(), waiting.begin(), waiting.end());
  expected.insert(expected.end(), session.begin(), session.end());
  expected.push_back("Связь с адаптером COM1 потеряна.");
  expected.insert(expected.end(), waiting.begin(), waiting.end());
  expected.insert(expected.end(), session.begin(), session.end());
  EXPECT_EQ(rig.Statuses(), expected);
  // The cause line says why, and is cleared whenever the port opens.
  EXPECT_EQ(rig.causes,
            (std::vector<std::string>{kNoDevice, "", "Адаптер отключён или неисправен.", ""}));

  ASSERT_EQ(opens.size(), 3u);
  EXPECT_EQ(opens[1], opens[0] + 5000);
  EXPECT_EQ(opens[2], lostAt + 5000);
  EXPECT_EQ(rig.closes, 2);
  EXPECT_EQ(rig.samples.size(), 2u);  // one before the failure, one after the reopening
  EXPECT_EQ(rig.pauses, 4);           // each session begins and ends with one

  // A stop while the indicator runs ends the worker within one step of it.
  SessionRig stopped;
  stopped.openFails = true;
  stopped.stop.SetAt(SessionRig::kStart + 2550);
  EXPECT_EQ(stopped.worker.RunWorker(), ExchangeResult::Stopped);
  EXPECT_EQ(stopped.clock.NowMs(), SessionRig::kStart + 2550);
  EXPECT_EQ(stopped.opens, 1);
}

TEST(EcuSession, ASleepOfTheComputerReopensThePortAtOnceAShortJumpDoesNot) {
  for (const int64_t sleptMs : {WakeWatch::kMinSleepMs + 1, WakeWatch::kMinSleepMs}) {
    SCOPED_TRACE(sleptMs);
    SessionRig rig;
    int polls = 0;
    // Asleep while the third poll's answer is on its way; the first poll after it ends the run.
    rig.ecu.onRequest = [&](uint8_t service) {
      if (service != 0x21) return;
      if (++polls == 3) rig.sleepClock.Sleep(sleptMs);
      if (polls == 4) rig.stop.Set();
    };
    EXPECT_EQ(rig.worker.RunWorker(), ExchangeResult::Stopped);
    const bool woke = sleptMs > WakeWatch::kMinSleepMs;
    // The answer that came across the sleep is no sample, and no closing requests go to a
    // handle that may be dead; the next session closes what is left before its contact.
    EXPECT_EQ(rig.samples.size(), woke ? 3u : 4u);
    EXPECT_EQ(rig.Count(0x82), woke ? 1 + 1 + 1 : 1 + 1);
    EXPECT_EQ(rig.opens, woke ? 2 : 1);
    EXPECT_EQ(rig.pauses, woke ? 4 : 2);
    const std::vector<std::string> session = {"Открываем COM1...", kContact,
                                              "ECU-NAME Ver. 1.2  20240101\r\n"};
    std::vector<std::string> expected = session;
    if (woke) {
      expected.push_back("После сна компьютера порт открывается заново.");
      expected.insert(expected.end(), session.begin(), session.end());
    }
    EXPECT_EQ(rig.Statuses(), expected);  // no waiting indicator between the two
  }
}

TEST(EcuSession, APortThatWillNotOpenHasItsCauseWorded) {
  // A missing device is among the link scenarios.
  const std::pair<OpenError, std::string> cases[] = {
      {{OpenFailure::NoPermission, 13},
       "Нет прав на порт: добавьте себя в группу dialout и войдите в систему заново."},
      {{OpenFailure::Busy, 16}, "Порт занят другой программой."},
      {{OpenFailure::NotSerialPort, 25}, "Это не последовательный порт."},
      {{OpenFailure::BadName, 22},
       "Неверное имя порта: сетевой адаптер пишется как socket://192.168.0.10:35000."},
      {{OpenFailure::Unreachable, 111},
       "Адаптер не отвечает по сети: подключитесь к его сети Wi-Fi и проверьте адрес и порт."},
  };
  for (const auto& [error, cause] : cases) {
    SessionRig rig;
    rig.openFails = true;
    rig.whyOpenFails = error;
    rig.stop.SetAt(SessionRig::kStart + 50);
    EXPECT_EQ(rig.worker.RunWorker(), ExchangeResult::Stopped);
    EXPECT_EQ(rig.Statuses()[1], "Не удаётся открыть COM1.");  // the status text as it was
    EXPECT_EQ(rig.causes, std::vector<std::string>{cause});
  }
}

TEST(EcuBlocks, IdentificationFieldsEndAtAZeroByteTheirLengthOrTheBlock) {
  const Bytes full = IdentificationBlock("NAME-LONGER-THAN-15", "V1", "2024");
  EXPECT_EQ(FormatIdentification(full.data(), full.size()), "NAME-LONGER-THA Ver. V1  2024\r\n");
  const Bytes cut = IdentificationBlock("ECU", "1.0", "20240101", 90);
  EXPECT_EQ(FormatIdentification(cut.data(), cut.size()), "ECU Ver. 1.0  20\r\n");
  EXPECT_EQ(FormatIdentification(cut.data(), 60), "ECU Ver.   \r\n");
  // The control unit's own code page.
  const Bytes cyrillic = IdentificationBlock("\xDD\xC1\xD3",
                                             "\xB9"
                                             "1",
                                             "\x98");
  EXPECT_EQ(FormatIdentification(cyrillic.data(), cyrillic.size()), "ЭБУ Ver. №1  \uFFFD\r\n");
  // Terminal sequences (a title, a cleared screen) and line breaks arrive harmless.
  const Bytes hostile = IdentificationBlock("\x1b]0;x\x07\x1b[2J", "\r\n", "\x7f\x09");
  EXPECT_EQ(FormatIdentification(hostile.data(), hostile.size()),
            "\uFFFD]0;x\uFFFD\uFFFD[2J Ver. \uFFFD\uFFFD  \uFFFD\uFFFD\r\n");
}

}  // namespace
}  // namespace drunvale::testing

namespace drunvale::testing {
namespace {

// Asked between two polls, the codes are read and cleared within the session, which polls on;
// a unit that refuses is told so at its first answer, not after twenty attempts.
TEST(EcuSession, TroubleCodesAreServedBetweenPollsAndARefusalEndsAtOnce) {
  SessionRig rig;
  CodesMailbox mailbox;
  rig.worker.SetCodesMailbox(&mailbox);
  mailbox.Post(CodesMailbox::Ask::Read);
  int polls = 0;
  rig.ecu.onRequest = [&](uint8_t service) {
    if (service != 0x21) return;
    ++polls;
    if (polls == 2) mailbox.Post(CodesMailbox::Ask::Clear);
    if (polls == 3) rig.ecu.troubleCodes = Bytes{0x01, 0x30, 0xE0, 0x43, 0x01, 0x60};
    if (polls == 4) mailbox.Post(CodesMailbox::Ask::Read);
    if (polls == 6) rig.stop.Set();
  };
  EXPECT_EQ(rig.worker.RunWorker(), ExchangeResult::Stopped);
  ASSERT_EQ(rig.codeReports.size(), 3u);
  EXPECT_EQ(rig.codeReports[0].outcome, CodesReport::Outcome::NotOffered);
  EXPECT_EQ(rig.codeReports[1].outcome, CodesReport::Outcome::NotConfirmed);
  EXPECT_EQ(rig.codeReports[2].outcome, CodesReport::Outcome::Read);
  EXPECT_EQ(rig.codeReports[2].codes, (std::vector<TroubleCode>{{0x0130, false}, {0x4301, false}}));
  EXPECT_EQ(rig.Count(0x18), 2);
  EXPECT_EQ(rig.Count(0x14), 1);
  EXPECT_EQ(rig.Count(0x21), 6);
}

TEST(WorkerOutlets, StopMarkEndsTextsAndDetachEndsEverything) {
  ManualTickClock clock;
  ManualStopEvent stop(clock);
  std::vector<std::string> texts;
  int samples = 0;
  WorkerOutlets outlets(
      stop, [&](std::string t) { texts.push_back(t); },
      [&](float, float, float, bool) { ++samples; });
  outlets.ShowStatus("a");
  outlets.MarkStopping([&](std::string t) { texts.push_back("owner " + t); }, "b");
  outlets.ShowStatus("c");
  outlets.AddSample(1, 2, 3, true);
  EXPECT_EQ(texts, (std::vector<std::string>{"a", "owner b"}));
  EXPECT_EQ(samples, 1);  // samples flow until the owner lets go of the worker
  outlets.Detach();
  outlets.AddSample(1, 2, 3, true);
  EXPECT_EQ(samples, 1);

  // A stop event set by other means silences the texts too.
  WorkerOutlets plain(
      stop, [&](std::string t) { texts.push_back(t); }, nullptr);
  stop.Set();
  plain.ShowStatus("d");
  plain.AddSample(1, 2, 3, true);
  EXPECT_EQ(texts.size(), 2u);
}

}  // namespace
}  // namespace drunvale::testing
