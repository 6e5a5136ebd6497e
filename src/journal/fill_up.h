// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace drunvale {

// A full fill-up that moved the factor: the litres pumped and the factor it measured.
struct PastFill {
  float litres = 0;  // 0: none
  float factor = 0;

  bool operator==(const PastFill&) const = default;
};

// The tank counter, kept across runs; "Обнулить" does not touch it.
struct TankState {
  // Litres used since the last full tank, each counted with the factor in force at its moment.
  double litres = 0;
  // When the last full tank was recorded, seconds since 1970 UTC; 0 before the first one:
  // nothing is counted until a full tank gives the counter a start.
  int64_t since = 0;
  // The last two full fill-ups, newest first.
  std::array<PastFill, 2> fills{};
  // Litres pumped since then in fill-ups that left the tank not full: the next full one is
  // compared with all that was pumped since the last full tank.
  double pumpedNotFull = 0;

  bool Started() const { return since != 0; }
  bool operator==(const TankState&) const = default;
};

enum class FillVerdict {
  NoLitres,  // nothing typed yet, or not a number of litres
  First,     // the counter had no start: this fill-up gives it one, the factor stays
  Full,      // a full tank within reach of the count: a new factor is proposed
  Partial,   // too far from the count to be a full tank: refused unless recorded as not full
  NotFull,   // the driver says the tank is not full: the count goes on to the next full one
};

struct FillProposal {
  FillVerdict verdict = FillVerdict::NoLitres;
  double pumped = 0;         // this fill-up's litres, as the pump shows them
  double pumpedEarlier = 0;  // litres of not-full fill-ups since the last full tank
  double counted = 0;
  uint32_t before = 0;  // factor in parts per ten thousand
  uint32_t after = 0;
  float measured = 0;     // Full: the factor this fill-up alone gives
  bool limited = false;   // Full: the step was held to its limit
  bool counting = false;  // the counter had its start: a not-full fill-up goes on counting

  bool Recordable() const {
    return verdict == FillVerdict::First || verdict == FillVerdict::Full ||
           verdict == FillVerdict::NotFull;
  }
};

// A fill-up is refused as partial when the pump and the count differ by more than this share
// of the count, or when fewer litres than kLeastCountedLitres were counted to judge by.
inline constexpr double kPartialShare = 0.25;
inline constexpr double kLeastCountedLitres = 5.0;
// The factor moves at most this share of itself per fill-up.
inline constexpr double kStepShare = 0.10;
// What a pump can have put in at once.
inline constexpr double kMostPumpedLitres = 1000.0;

// "45.3" or "45,3" litres, more than 0 and at most kMostPumpedLitres.
std::optional<double> ParseLitres(std::string_view text);

// What recording this fill-up would do. The measured factor is old × (pumped + pumped earlier)
// / counted; the proposal averages it with the last two full fill-ups, weighted by their
// litres, and moves at most kStepShare from the old factor, within the factor's range.
FillProposal ProposeFill(const TankState& tank, uint32_t factor, std::optional<double> pumped,
                         bool notFull);
// The counter after a recorded fill-up at `now`: a full (or first) one starts it again from
// zero, and a full one joins the history; a not-full one only adds its litres to the pumped.
TankState TankAfterFill(const TankState& tank, const FillProposal& fill, int64_t now);

}  // namespace drunvale
