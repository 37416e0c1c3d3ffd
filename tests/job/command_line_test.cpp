// The 16-value command line: when a start is unattended, and how each value converts.
#include "job/command_line.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "base/errors.h"

namespace quillet {
namespace {

// A complete job as the batch writer writes it, after the shell has split it.
std::vector<std::string> CompleteJob() {
  return {"0", "/dvd/VTS_01_0.IFO", "/subs/film.srt", "-1", "0", "0", "0", "0", "0", "4", "0", "14", "0", "30", "-4",
          "1"};
}

TEST(CommandLine, SixteenValuesStartUnattendedAndKeepTheTexts) {
  CommandLine line = ParseCommandLine(CompleteJob());
  EXPECT_TRUE(line.unattended);
  for (int i = 0; i < kParameterCount; ++i) EXPECT_EQ(line.args[i], CompleteJob()[i]) << i;
}

TEST(CommandLine, ArgumentsPastTheSixteenthAreIgnored) {
  auto args = CompleteJob();
  args.push_back("extra");
  CommandLine line = ParseCommandLine(args);
  EXPECT_TRUE(line.unattended);
  EXPECT_EQ(line.args[15], "1");
}

TEST(CommandLine, FewerThanSixteenStartInteractively) {
  for (std::size_t count : {0u, 1u, 15u}) {
    auto args = CompleteJob();
    args.resize(count);
    EXPECT_EQ(ParseCommandLine(args), CommandLine{}) << count;
  }
}

TEST(CommandLine, ParameterNameOrEmptyAtAnyPositionStartsInteractively) {
  for (int i = 0; i < kParameterCount; ++i) {
    auto named = CompleteJob();
    named[i] = std::string(kParameterNames[i]);
    EXPECT_EQ(ParseCommandLine(named), CommandLine{}) << "name at " << i;

    auto empty = CompleteJob();
    empty[i] = "";
    EXPECT_EQ(ParseCommandLine(empty), CommandLine{}) << "empty at " << i;
  }
}

TEST(CommandLine, OnlyTheExactOwnNameCountsAsMissing) {
  auto args = CompleteJob();
  args[0] = "HaveIfo";       // another letter case is a value (that later fails to convert)
  args[4] = "coloroutline";  // the name of another position is a value too
  CommandLine line = ParseCommandLine(args);
  EXPECT_TRUE(line.unattended);
  EXPECT_EQ(line.args[0], "HaveIfo");
  EXPECT_EQ(line.args[4], "coloroutline");
}

TEST(CommandLine, TrailingCarriageReturnIsDropped) {
  auto args = CompleteJob();
  args[15] = "1\r";  // the last argument of a CR LF batch line run by a POSIX shell
  args[2] = "/subs/film.srt\r";
  CommandLine line = ParseCommandLine(args);
  EXPECT_TRUE(line.unattended);
  EXPECT_EQ(line.args[15], "1");
  EXPECT_EQ(line.args[2], "/subs/film.srt");

  args[15] = "outline\r";
  EXPECT_FALSE(ParseCommandLine(args).unattended);
  args[15] = "\r";
  EXPECT_FALSE(ParseCommandLine(args).unattended);
}

TEST(CommandLineValue, BooleansAcceptNumbersAndTrueFalse) {
  struct Case {
    const char* text;
    bool value;
  };
  for (auto [text, value] : std::initializer_list<Case>{{"True", true},
                                                        {"true", true},
                                                        {"TRUE", true},
                                                        {"1", true},
                                                        {"-1", true},
                                                        {"2.5", true},
                                                        {"+3", true},
                                                        {"1e3", true},
                                                        {".5", true},
                                                        {"0.001", true},
                                                        {"1e-400", true},
                                                        {"0", false},
                                                        {"0.0", false},
                                                        {"-0", false},
                                                        {"0e5", false},
                                                        {"FALSE", false},
                                                        {"false", false},
                                                        {"fAlSe", false}}) {
    EXPECT_EQ(ConvertBooleanValue(text), value) << text;
  }
}

TEST(CommandLineValue, OtherBooleanTextsFailWithTheirText) {
  for (const char* text : {"yes", "", " 1", "1 ", "1,5", "0x1", "inf", "nan", "truex", "--1", "1e", ".", "+"}) {
    try {
      ConvertBooleanValue(text);
      ADD_FAILURE() << "accepted '" << text << "'";
    } catch (const ConversionError& e) {
      EXPECT_EQ(std::string(e.what()), "'" + std::string(text) + "' is not a valid boolean value");
    }
  }
}

TEST(CommandLineValue, IntegersAreSignedDecimal) {
  EXPECT_EQ(ConvertIntegerValue("0"), 0);
  EXPECT_EQ(ConvertIntegerValue("-1"), -1);
  EXPECT_EQ(ConvertIntegerValue("+7"), 7);
  EXPECT_EQ(ConvertIntegerValue("007"), 7);
  EXPECT_EQ(ConvertIntegerValue("2147483647"), 2147483647);
  EXPECT_EQ(ConvertIntegerValue("-2147483648"), -2147483647 - 1);
  EXPECT_EQ(ConvertIntegerValue("35"), 35);  // outside the size list, still an integer: the list shows nothing
}

TEST(CommandLineValue, OtherIntegerTextsFailWithTheirText) {
  for (const char* text :
       {"", "1.0", "1e2", "2147483648", "-2147483649", " 1", "1 ", "abc", "-", "+", "+-1", "0x10", "$10"}) {
    try {
      ConvertIntegerValue(text);
      ADD_FAILURE() << "accepted '" << text << "'";
    } catch (const ConversionError& e) {
      EXPECT_EQ(std::string(e.what()), "'" + std::string(text) + "' is not a valid integer value");
    }
  }
}

TEST(CommandLineValue, OffsetsAreClampedAndOffsetOrMadeEven) {
  struct Case {
    const char* text;
    int offset;
    int offsetOr;
  };
  for (auto [text, offset, offsetOr] : std::initializer_list<Case>{{"1000", 492, 10},
                                                                   {"-100", 8, -14},
                                                                   {"-3", 8, -2},
                                                                   {"9", 9, 10},
                                                                   {"11", 11, 10},
                                                                   {"-15", 8, -14},
                                                                   {"-13", 8, -12},
                                                                   {"-4", 8, -4},
                                                                   {"0", 8, 0},
                                                                   {"30", 30, 10},
                                                                   {"492", 492, 10},
                                                                   {"493", 492, 10}}) {
    EXPECT_EQ(ConvertOffsetValue(text), offset) << text;
    EXPECT_EQ(ConvertOffsetOrValue(text), offsetOr) << text;
  }
  EXPECT_THROW(ConvertOffsetValue("high"), ConversionError);
  EXPECT_THROW(ConvertOffsetOrValue("-3.0"), ConversionError);
}

std::array<std::string, kParameterCount> Values(std::vector<std::string> v) {
  std::array<std::string, kParameterCount> out;
  std::copy(v.begin(), v.end(), out.begin());
  return out;
}

TEST(CommandLineJob, ConvertsTheSixteenValuesIntoOneJob) {
  const CommandLineJob command = JobFromCommandLine(
      Values({"-1", "none", "/s/film.srt", "0", "1", "2", "3", "4", "5", "6", "7", "8", "2", "1000", "-3", "2"}));
  EXPECT_EQ(command.firstBadValue, 0);
  EXPECT_NO_THROW(command.ThrowIfBadUpTo(kParameterCount));
  const JobSettings expected{true, "none", "/s/film.srt", false, 1, 2, 3, 4, 5, 6, 7, 8, 2, kOffsetMax, -2, 2};
  EXPECT_EQ(command.job, expected);
}

TEST(CommandLineJob, KeepsTheFirstBadValueForTheRunToReportWhereItReachesIt) {
  // With an IFO (value 1 false) value 4 is never read, so its text cannot fail.
  CommandLineJob command = JobFromCommandLine(
      Values({"0", "a.ifo", "b.srt", "maybe", "0", "x", "0", "0", "0", "4", "0", "14", "0", "y", "-4", "1"}));
  EXPECT_EQ(command.firstBadValue, 6);
  EXPECT_NO_THROW(command.ThrowIfBadUpTo(5));
  try {
    command.ThrowIfBadUpTo(kParameterCount);
    ADD_FAILURE() << "no error";
  } catch (const ConversionError& e) {
    EXPECT_STREQ(e.what(), "'x' is not a valid integer value");
  }
  // Without an IFO value 4 is read, before the lists.
  command = JobFromCommandLine(
      Values({"1", "none", "b.srt", "maybe", "0", "x", "0", "0", "0", "4", "0", "14", "0", "30", "-4", "1"}));
  EXPECT_EQ(command.firstBadValue, 4);
  EXPECT_EQ(command.badValueMessage, "'maybe' is not a valid boolean value");
  EXPECT_EQ(
      JobFromCommandLine(Values({"no", "", "", "", "", "", "", "", "", "", "", "", "", "", "", ""})).firstBadValue, 1);
}

}  // namespace
}  // namespace quillet
