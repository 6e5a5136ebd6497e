// SPDX-License-Identifier: GPL-3.0-or-later
#include "link/obd_data.h"

#include <gtest/gtest.h>

namespace drunvale {
namespace {

using Bytes = std::vector<uint8_t>;

TEST(ObdData, DecodesABatchedAnswerInAnyOrderAndTheSupportedBitmaps) {
  ObdReadings r;
  ASSERT_TRUE(
      DecodeMode01({0x41, 0x0C, 0x1A, 0xF8, 0x0D, 0x32, 0x10, 0x01, 0xF4, 0x03, 0x02, 0x00, 0x11,
                    0x33, 0x44, 0x80, 0x00, 0x5E, 0x00, 0x64, 0x0B, 0x21, 0x0F, 0x46, 0x51, 0x01},
                   r));
  EXPECT_EQ(r.rpm, 1726);
  EXPECT_EQ(r.speedKmh, 50);
  EXPECT_EQ(r.airGs, 5.0);
  EXPECT_EQ(r.fuelSystem, 2);
  EXPECT_EQ(r.throttlePercent, 20.0);
  EXPECT_EQ(r.equivalenceRatio, 1.0);
  EXPECT_EQ(r.fuelRateLh, 5.0);
  EXPECT_EQ(r.manifoldKpa, 33);
  EXPECT_EQ(r.intakeC, 30);
  EXPECT_EQ(r.fuelType, 1);
  // Cut short, or no mode 01 answer at all.
  ObdReadings cut;
  EXPECT_FALSE(DecodeMode01({0x41, 0x0C, 0x1A}, cut));
  EXPECT_FALSE(DecodeMode01({0x7F, 0x01, 0x12}, cut));

  SupportedPids s;
  s.Add(0x00, {0xBE, 0x3F, 0xA8, 0x13});
  s.Add(0x40, {0x00, 0x00, 0x00, 0x00});
  EXPECT_TRUE(s.Has(0x01) && s.Has(0x03) && s.Has(0x0B) && s.Has(0x10) && s.Has(0x11) &&
              s.Has(0x20));
  EXPECT_FALSE(s.Has(0x02) || s.Has(0x0A) || s.Has(0x12) || s.Has(0x5E) || s.Has(0x00));
}

// Framing off: a CAN message reassembled across frames while another unit answers between
// them, a lost consecutive frame spoiling only its own message; K-line frames by checksum.
TEST(ObdData, TakesMessagesOffEachBusAndTheVinFromEither) {
  ElmAnswer can = ParseElmAnswer(
      "7E8100941 0C1AF80D32\r7E903410D3200000000\r7E82110 01F400000000\r"
      "7EA100941 0C1AF80D32\r7EA2210 01F400000000\r\r>",
      "010C0D10");
  const std::vector<ObdMessage> canMessages = ObdMessages(can, ObdBus::Can11);
  ASSERT_EQ(canMessages.size(), 2u);
  EXPECT_EQ(canMessages[0].source, 0x7E9u);
  EXPECT_EQ(canMessages[0].payload, (Bytes{0x41, 0x0D, 0x32}));
  EXPECT_EQ(canMessages[1].source, 0x7E8u);
  EXPECT_EQ(canMessages[1].payload, (Bytes{0x41, 0x0C, 0x1A, 0xF8, 0x0D, 0x32, 0x10, 0x01, 0xF4}));

  const ElmAnswer kline =
      ParseElmAnswer("83F110410D3204\r83F110410D3205\r486B10410D3243\r\r>", "010D");
  const std::vector<ObdMessage> klineMessages = ObdMessages(kline, ObdBus::KLine);
  ASSERT_EQ(klineMessages.size(), 2u);
  EXPECT_EQ(klineMessages[0].source, 0x10u);
  EXPECT_EQ(klineMessages[1].payload, (Bytes{0x41, 0x0D, 0x32}));

  const std::string vin = "1G1JC5444R7252367";
  Bytes one = {0x49, 0x02, 0x01};
  one.insert(one.end(), vin.begin(), vin.end());
  EXPECT_EQ(DecodeVin({{0x7E8, one}}), vin);
  std::vector<ObdMessage> five;
  five.push_back({0x10, {0x49, 0x02, 0x01, 0, 0, 0, '1'}});
  for (uint8_t i = 0; i < 4; ++i) {
    Bytes part = {0x49, 0x02, static_cast<uint8_t>(5 - i)};
    part.insert(part.end(), vin.begin() + 1 + 4 * (3 - i), vin.begin() + 5 + 4 * (3 - i));
    five.push_back({0x10, part});
  }
  EXPECT_EQ(DecodeVin(five), vin);
  five.pop_back();
  EXPECT_EQ(DecodeVin(five), "");
}

TEST(ObdData, EstimatesFuelFromEachSourceAndNoneDuringACut) {
  const FuelProperties petrol;
  ObdReadings r;
  r.rpm = 2000;
  r.airGs = 10;
  r.fuelSystem = 2;
  r.speedKmh = 60;
  r.throttlePercent = 20;
  r.equivalenceRatio = 0.8;  // commanded rich, but closed loop holds stoichiometric
  ObdEstimate e = EstimateFuel(r, FuelSource::AirFlow, petrol, 1);
  EXPECT_NEAR(e.fuelLh, 3.28722, 1e-4);
  EXPECT_NEAR(e.airKgH, 36.0, 1e-9);
  r.fuelSystem = 4;
  EXPECT_NEAR(EstimateFuel(r, FuelSource::AirFlow, petrol, 1).fuelLh, 4.10903, 1e-4);  // open loop: 1/0.8 the fuel
  // Open loop with the throttle closed at speed: the fuel is cut, the air still counts.
  r.throttlePercent = 0;
  e = EstimateFuel(r, FuelSource::AirFlow, petrol, 1);
  EXPECT_TRUE(e.fuelCut);
  EXPECT_EQ(e.fuelLh, 0);
  EXPECT_NEAR(e.airKgH, 36.0, 1e-9);
  r.speedKmh = 0;  // standing with the throttle shut is idling
  EXPECT_FALSE(EstimateFuel(r, FuelSource::AirFlow, petrol, 1).fuelCut);

  ObdReadings sd;
  sd.rpm = 3000;
  sd.manifoldKpa = 50;
  sd.intakeC = 25;
  sd.fuelSystem = 2;
  FuelProperties engine = petrol;
  engine.displacementL = 1.6;
  e = EstimateFuel(sd, FuelSource::SpeedDensity, engine, 1);
  EXPECT_NEAR(e.airKgH, 67.3023, 1e-3);
  EXPECT_NEAR(e.fuelLh, 6.14549, 1e-4);

  ObdReadings rate;
  rate.fuelRateLh = 5;
  EXPECT_NEAR(EstimateFuel(rate, FuelSource::FuelRate, petrol, 1).airKgH, 54.7575, 1e-6);
  rate.airGs = 5;
  EXPECT_NEAR(EstimateFuel(rate, FuelSource::FuelRate, petrol, 1).airKgH, 18.0, 1e-9);

  SupportedPids s;
  s.Add(0x00, {0x00, 0x3F, 0x80, 0x00});  // 0B-10, 11
  EXPECT_EQ(BestFuelSource(s, 0), FuelSource::AirFlow);
  s = {};
  s.Add(0x00, {0x00, 0x3E, 0x80, 0x00});  // 0B-0F, 11: no air flow
  EXPECT_EQ(BestFuelSource(s, 0), FuelSource::None);
  EXPECT_EQ(BestFuelSource(s, 1.6), FuelSource::SpeedDensity);
  s.Add(0x40, {0x00, 0x00, 0x00, 0x04});  // 5E
  EXPECT_EQ(BestFuelSource(s, 1.6), FuelSource::FuelRate);
}

}  // namespace
}  // namespace drunvale
