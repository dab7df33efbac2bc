#include "automation/variant_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using automation::Variant;
using automation::VariantToText;

double At(double day, int hour, int minute, int second = 0) {
  return day + (hour * 3600 + minute * 60 + second) / 86400.0;
}

TEST(VariantToText, GivesTheTextOfEveryType) {
  struct Case {
    Variant value;
    const wchar_t* text;
  };
  const Case cases[] = {
      {Variant::Empty(), L""},
      {Variant::Null(), L""},
      {Variant::I2(-7), L"-7"},
      {Variant::Bool(true), L"-1"},
      {Variant::Bool(false), L"0"},
      {Variant::I4(2147483647), L"2147483647"},
      {Variant::UI1(255), L"255"},
      {Variant::R4(1.5f), L"1.500000"},
      {Variant::R8(-0.125), L"-0.125000"},
      {Variant::CurrencyUnits(125000), L"12.5"},
      {Variant::CurrencyUnits(-5), L"-0.0005"},
      {Variant::CurrencyUnits(30000), L"3"},
      {Variant::String(L"文档 text"), L"文档 text"},
      {Variant::I4(12).ByRef(), L"12"},
      {Variant::ErrorCode(automation::kParamNotFound), L""},
      {Variant::Object(nullptr), L""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(VariantToText(c.value), c.text) << static_cast<int>(c.value.type);
}

TEST(VariantToText, PrintsDatesAsMonthDayYearHourMinute) {
  struct Case {
    double date;
    const wchar_t* text;
  };
  const Case cases[] = {
      {At(41703, 14, 7), L"03/05/2014 14:07"},       // 5 March 2014
      {0.0, L"12/30/1899 00:00"},                    // day zero
      {-1.25, L"12/29/1899 06:00"},                  // before day zero the time still counts up
      {At(36585, 23, 59, 59), L"02/29/2000 23:59"},  // leap day, seconds dropped
      {At(36585, 23, 59, 59) + 0.6 / 86400, L"03/01/2000 00:00"},  // rounds to the second
      {At(2958465, 12, 0), L"12/31/9999 12:00"},
      {-657434.0, L"01/01/0100 00:00"},
      {3e6, L"-1/-1/-001 -1:-1"},
      {-7e5, L"-1/-1/-001 -1:-1"},
      {std::numeric_limits<double>::quiet_NaN(), L"-1/-1/-001 -1:-1"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(VariantToText(Variant::Date(c.date)), c.text) << c.date;
}

}  // namespace
