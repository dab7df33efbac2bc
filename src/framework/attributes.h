#pragma once
// Parsing of attribute values as the layouts write them. Every parser throws AttributeError on
// text it cannot read, so a bad value is reported with its file and line by the builder.

#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <wx/colour.h>
#include <wx/gdicmn.h>

namespace framework {

class AttributeError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Four edges (left, top, right, bottom), used for padding, inset, corners and borders.
struct Edges {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

int ParseInt(std::wstring_view text);
bool ParseBool(std::wstring_view text);
// "#AARRGGBB" or "#RRGGBB" or "0xAARRGGBB".
wxColour ParseColor(std::wstring_view text);
// The alpha byte as written (#AARRGGBB), 255 for #RRGGBB.
int ParseRawAlpha(std::wstring_view text);
// Splits an attribute list written as name="value" name="value".
std::vector<std::pair<std::wstring, std::wstring>> SplitAttributeList(std::wstring_view list);
// "l,t,r,b"; fewer numbers are an error.
Edges ParseEdges(std::wstring_view text);
// "w,h".
wxSize ParseSize(std::wstring_view text);
// Colour from a packed 0xAARRGGBB value; see ParseColor for the alpha rule.
wxColour ColorFromArgb(unsigned long argb);

std::string ToUtf8(std::wstring_view text);
std::wstring FromUtf8(std::string_view text);

}  // namespace framework
