#include "automation/variant_text.h"

#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>

namespace automation {

namespace {

struct CalendarFields {
  int year = -1;
  int month = -1;
  int day = -1;
  int hour = -1;
  int minute = -1;
};

// Day 0 of an OLE date is 30 December 1899; the fraction is the time of day, counted forwards
// also for dates before day 0. Times are rounded to the nearest second, as the platform does.
bool OleDateToFields(double date, CalendarFields& fields) {
  constexpr double kFirstDay = -657434.0;  // 1 January 100
  constexpr double kLastDay = 2958466.0;   // 1 January 10000
  if (!(date >= kFirstDay && date < kLastDay))
    return false;
  double wholeDays = std::trunc(date);
  auto seconds = static_cast<std::int64_t>(std::llround(std::fabs(date - wholeDays) * 86400.0));
  auto days = static_cast<std::int64_t>(wholeDays);
  if (seconds >= 86400) {
    seconds -= 86400;
    ++days;
  }
  // Civil date from days since 1 March of year 0 (proleptic Gregorian calendar).
  std::int64_t z = days - 25569 + 719468;  // 25569: OLE day of 1 January 1970
  std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  std::int64_t dayOfEra = z - era * 146097;
  std::int64_t yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  std::int64_t monthIndex = (5 * dayOfYear + 2) / 153;
  std::int64_t month = monthIndex < 10 ? monthIndex + 3 : monthIndex - 9;
  fields.year = static_cast<int>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
  fields.month = static_cast<int>(month);
  fields.day = static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
  fields.hour = static_cast<int>(seconds / 3600);
  fields.minute = static_cast<int>(seconds / 60 % 60);
  return true;
}

std::wstring Widen(const std::string& text) {
  return std::wstring(text.begin(), text.end());  // printf output of numbers is ASCII
}

std::wstring FloatText(double value) {
  char text[400];  // "%f" of the largest double needs 317 characters
  std::snprintf(text, sizeof text, "%f", value);
  return Widen(text);
}

// The number without trailing zeros and with the locale's decimal separator.
std::wstring CurrencyText(std::int64_t tenThousandths) {
  bool negative = tenThousandths < 0;
  std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(tenThousandths)
                                     : static_cast<std::uint64_t>(tenThousandths);
  std::wstring text = negative ? L"-" : L"";
  text += std::to_wstring(magnitude / 10000);
  std::uint64_t fraction = magnitude % 10000;
  if (fraction != 0) {
    std::wstring digits = std::to_wstring(fraction + 10000).substr(1);
    digits.erase(digits.find_last_not_of(L'0') + 1);
    const char* point = std::localeconv()->decimal_point;
    text += Widen(point != nullptr && *point != '\0' ? point : ".");
    text += digits;
  }
  return text;
}

}  // namespace

std::wstring VariantToText(const Variant& value) {
  wchar_t buffer[64];
  switch (value.type) {
    case VarType::I2:
    case VarType::Bool:
      std::swprintf(buffer, 64, L"%d", static_cast<int>(static_cast<std::int16_t>(value.integer)));
      return buffer;
    case VarType::I4:
      std::swprintf(buffer, 64, L"%d", static_cast<int>(static_cast<std::int32_t>(value.integer)));
      return buffer;
    case VarType::UI1:
      std::swprintf(buffer, 64, L"%0d", static_cast<int>(static_cast<std::uint8_t>(value.integer)));
      return buffer;
    case VarType::R4:
      return FloatText(static_cast<double>(static_cast<float>(value.real)));
    case VarType::R8:
      return FloatText(value.real);
    case VarType::Currency:
      return CurrencyText(value.integer);
    case VarType::Date: {
      CalendarFields fields;
      if (!OleDateToFields(value.real, fields))
        fields = CalendarFields{};
      std::swprintf(buffer, 64, L"%02d/%02d/%04d %02d:%02d", fields.month, fields.day, fields.year,
                    fields.hour, fields.minute);
      return buffer;
    }
    case VarType::String:
      return value.text;
    default:
      return {};
  }
}

}  // namespace automation
