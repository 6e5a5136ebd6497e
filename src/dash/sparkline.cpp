// SPDX-License-Identifier: GPL-3.0-or-later
#include "dash/sparkline.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "dash/chart_scale.h"
#include "dash/dash_figures.h"
#include "dash/dash_texts.h"
#include "trip/fixed_format.h"

namespace drunvale {
namespace {

constexpr const char* kBlocks[] = {"▁", "▂", "▃", "▄", "▅", "▆", "▇", "█"};
constexpr const char* kOffScale = "▔";

// One character's worth of points: the mean of the finite values, or none, or off the scale.
struct Cell {
  std::optional<float> mean;
  bool offScale = false;
};

const char* BlockFor(float value, float top) {
  const int level = top > 0 ? static_cast<int>(std::lround(value / top * 7.0f)) : 0;
  return kBlocks[std::clamp(level, 0, 7)];
}

// The points from `newestAge` back over one character's seconds.
Cell CellOf(const ConsumptionHistory& history, bool litresPerHour, size_t newestAge,
            size_t seconds) {
  float sum = 0;
  int count = 0;
  int standing = 0;
  for (size_t age = newestAge; age < newestAge + seconds && age < history.Size(); ++age) {
    const std::optional<float> value = PointValue(history.At(age), litresPerHour);
    if (!value) continue;
    if (std::isfinite(*value)) {
      sum += *value;
      ++count;
    } else {
      ++standing;
    }
  }
  Cell cell;
  if (count > 0) cell.mean = sum / static_cast<float>(count);
  cell.offScale = count == 0 && standing > 0;
  return cell;
}

}  // namespace

std::string Sparkline(const ConsumptionHistory& history, bool litresPerHour,
                      std::optional<float> average, size_t characters, size_t secondsPerCharacter) {
  std::vector<Cell> cells(characters);
  float top = average.value_or(0.0f);
  for (size_t c = 0; c < characters; ++c) {
    // Cell 0 is the oldest; the last cell ends with the newest point.
    cells[c] = CellOf(history, litresPerHour, (characters - 1 - c) * secondsPerCharacter,
                      secondsPerCharacter);
    if (cells[c].mean) top = std::max(top, *cells[c].mean);
  }

  std::string line = std::to_string(characters * secondsPerCharacter / 60) + " " +
                     std::string(dash_text::kMinutes) + " ";
  for (const Cell& cell : cells) {
    if (cell.mean) {
      line += BlockFor(*cell.mean, top);
    } else {
      line += cell.offScale ? kOffScale : " ";
    }
  }
  line += " │ " + std::string(dash_text::kAverage) + " ";
  if (average) {
    line += BlockFor(*average, top);
    line += " ";
    AppendFixed(line, *average, 1);
  } else {
    line += "—";
  }
  return line + " " + UnitName(litresPerHour);
}

}  // namespace drunvale
