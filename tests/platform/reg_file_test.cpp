// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/reg_file.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

namespace drunvale {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr const char* kHeader = "HKEY_CURRENT_USER\\Software\\Tembrook\\Drunvale\\1.0";

std::vector<uint8_t> Bytes(std::string_view text) {
  return {text.begin(), text.end()};
}
std::vector<uint8_t> Sz(std::string_view text) {
  auto bytes = Bytes(text);
  bytes.push_back(0);
  return bytes;
}

std::string File(std::string_view body) {
  return std::string(kRegFileSignature) + "\n\n[" + kHeader + "]\n" + std::string(body);
}

TEST(RegFile, EveryKindOfValueRoundTripsByteForByte) {
  std::vector<uint8_t> record(200);
  for (size_t i = 0; i < record.size(); ++i)
    record[i] = static_cast<uint8_t>(i * 7);
  const std::vector<StoreValue> values = {
      {"Port", kRegSz, Sz("C:\\Путь \"в\" [x]=y]")},
      {"Name \"quoted\" \\ = ]", kRegSz, Sz("")},
      {"Unterminated", kRegSz, Bytes("abc")},
      {"InnerNul", kRegSz, Bytes(std::string_view("a\0b\0", 4))},
      {"Empty", kRegSz, {}},
      {"Newline", kRegSz, Sz("line1\nline2")},
      {"Expand", kRegExpandSz, Sz("%HOME%/x")},
      {"Record", kRegBinary, record},
      {"NoBytes", kRegBinary, {}},
      {"Dword", kRegDword, {0x78, 0x56, 0x34, 0x12}},
      {"ShortDword", kRegDword, {1, 2, 3}},
      {"Odd", 0xDEADBEEF, {0xFF}},
      {"", kRegSz, Sz("unnamed")},
  };
  const std::string text = FormatRegFile(kHeader, values);
  EXPECT_EQ(ParseRegFile(text, kHeader), values);

  // The forms a person reading the file sees; nothing that is not a plain string is quoted.
  EXPECT_THAT(text, ::testing::StartsWith(File("")));
  EXPECT_THAT(text, ::testing::HasSubstr("\n\"Port\"=\"C:\\\\Путь \\\"в\\\" [x]=y]\"\n"));
  EXPECT_THAT(text, ::testing::HasSubstr("\n\"Unterminated\"=hex(1):61,62,63\n"));
  EXPECT_THAT(text, ::testing::HasSubstr("\n\"Newline\"=hex(1):"));
  EXPECT_THAT(text, ::testing::HasSubstr("\n\"Expand\"=hex(2):25,48,4f,4d,45,25,2f,78,00\n"));
  EXPECT_THAT(text, ::testing::HasSubstr("\n\"Dword\"=dword:12345678\n"));
  EXPECT_THAT(text, ::testing::HasSubstr("\n\"Odd\"=hex(deadbeef):ff\n"));
  EXPECT_THAT(text, ::testing::HasSubstr("\n@=\"unnamed\"\n"));
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);)
    EXPECT_LE(line.size(), 80u) << line;
}

TEST(RegFile, ReadsWhatRegeditWritesAndWhatPeopleEdit) {
  const std::string text =
      "\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n"
      "\r\n"
      "[HKEY_CURRENT_USER\\Software\\Other]\r\n"
      "\"Port\"=\"wrong section\"\r\n"
      "\r\n"
      "; a comment\r\n"
      "[hkey_current_user\\software\\tembrook\\drunvale\\1.0]\r\n"
      "\"Record\"=hex:01,02,\\\r\n"
      "  0A,0b,\\\r\n"
      "  ff\r\n"
      "  \"Port\" = \"COM3\"  \r\n"
      "\"Gone\"=\"soon\"\r\n"
      "\"Gone\"=-\r\n"
      "\"Count\"=dword:0000002a\r\n"
      "\"Record\"=hex:01,02,03,04\r\n"
      "\r\n"
      "[HKEY_CURRENT_USER\\Software\\Other]\r\n"
      "\"Later\"=\"other section again\"\r\n";
  EXPECT_THAT(ParseRegFile(text, kHeader),
              ElementsAre(StoreValue{"Record", kRegBinary, {1, 2, 3, 4}},
                          StoreValue{"Port", kRegSz, Sz("COM3")},
                          StoreValue{"Count", kRegDword, {42, 0, 0, 0}}));
}

TEST(RegFile, MalformedLinesCountAsMissingAndSpareTheRest) {
  const char* bad[] = {
      "\"A\"=hex:zz",
      "\"A\"=hex:123",
      "\"A\"=hex:01,,02",
      "\"A\"=hex(2:00",
      "\"A\"=hex():00",
      "\"A\"=hex(123456789):00",
      "\"A\"=dword:123456789",
      "\"A\"=dword:",
      "\"A\"=\"unterminated",
      "\"A\"=\"x\" trailing",
      "\"A\"=\"bad \\n esc\"",
      "\"A\"=",
      "\"A\"hex:00",
      "A=hex:00",
      "\"A=\"x\"",
      "\"A\"=str:abc",
      "garbage ☺ \x01\xFF",
      "=",
  };
  for (const char* line : bad) {
    const std::string text = File("\"Before\"=\"1\"\n" + std::string(line) + "\n\"After\"=\"2\"\n");
    EXPECT_THAT(ParseRegFile(text, kHeader), ElementsAre(StoreValue{"Before", kRegSz, Sz("1")},
                                                         StoreValue{"After", kRegSz, Sz("2")}))
        << line;
  }
}

TEST(RegFile, FilesWithoutSignatureOrHeaderHoldNothing) {
  const std::string section = "[" + std::string(kHeader) + "]\n\"Port\"=\"x\"\n";
  for (const std::string& text :
       {section, "REGEDIT4\n\n" + section, std::string(kRegFileSignature) + "\n\"Port\"=\"x\"\n"}) {
    EXPECT_THAT(ParseRegFile(text, kHeader), IsEmpty()) << text;
  }
}

TEST(RegFile, HugeValuesAreSkipped) {
  std::string huge = "\"Huge\"=hex:";
  for (size_t i = 0; i <= kMaxStoreValueBytes; ++i)
    huge += "00,";
  huge += "00\n";
  const std::string text = File(huge + "\"Port\"=\"x\"\n");
  EXPECT_THAT(ParseRegFile(text, kHeader), ElementsAre(StoreValue{"Port", kRegSz, Sz("x")}));
}

}  // namespace
}  // namespace drunvale
