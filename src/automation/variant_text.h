#pragma once
// The display text of an automation value (document properties in the Time column).

#include <string>

#include "automation/variant.h"

namespace automation {

// Empty and null give "", integers and booleans "%d" (true is "-1"), floats "%f", currency the
// locale's number text, dates "MM/DD/YYYY hh:mm", strings themselves, anything else "".
// A date outside the calendar range prints every field as -1.
std::wstring VariantToText(const Variant& value);

}  // namespace automation
