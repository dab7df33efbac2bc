#include "framework/text_render.h"

#include <vector>

#include <wx/control.h>

#include "framework/control.h"

namespace framework {

std::vector<wxString> WrapText(wxDC& dc, const wxString& text, int width) {
  // Greedy wrap at spaces; a word wider than the line is cut between letters (which is also
  // how lines of Chinese text break).
  std::vector<wxString> lines;
  wxString rest(text);
  while (!rest.empty()) {
    size_t fit = 0, lastSpace = wxString::npos;
    for (size_t i = 1; i <= rest.size(); ++i) {
      if (dc.GetTextExtent(rest.Left(i)).x > width)
        break;
      fit = i;
      if (rest[i - 1] == ' ')
        lastSpace = i;
      if (rest[i - 1] == '\n')
        break;
    }
    if (fit == 0)
      fit = 1;
    size_t take = fit;
    if (fit < rest.size() && rest[fit - 1] != '\n' && rest[fit] != ' ' &&
        lastSpace != wxString::npos) {
      take = lastSpace;
    }
    wxString line = rest.Left(take);
    line.Trim(true);
    if (line.EndsWith("\n"))
      line.RemoveLast();
    lines.push_back(line);
    rest = rest.Mid(take);
    rest.Trim(false);
  }
  return lines;
}

void DrawTextIn(wxDC& dc, const wxRect& rect, const std::wstring& text, const wxFont& font,
                const wxColour& color, unsigned style) {
  if (text.empty() || rect.width <= 0 || rect.height <= 0)
    return;
  dc.SetFont(font);
  dc.SetTextForeground(color);
  wxDCClipper clipper(dc, rect);
  std::vector<wxString> lines;
  if (style & kWordWrap) {
    lines = WrapText(dc, wxString(text), rect.width);
  } else {
    wxString line(text);
    if (style & kEndEllipsis)
      line = wxControl::Ellipsize(line, dc, wxELLIPSIZE_END, rect.width);
    lines.push_back(line);
  }
  int lineHeight = dc.GetCharHeight();
  int total = lineHeight * static_cast<int>(lines.size());
  int y = rect.y;
  if (style & kAlignVCenter) {
    y = rect.y + (rect.height - total) / 2;
  } else if (style & kAlignBottom) {
    y = rect.GetBottom() + 1 - total;
  }
  for (const wxString& line : lines) {
    int width = dc.GetTextExtent(line).x;
    int x = rect.x;
    if (style & kAlignCenter) {
      x = rect.x + (rect.width - width) / 2;
    } else if (style & kAlignRight) {
      x = rect.GetRight() + 1 - width;
    }
    dc.DrawText(line, x, y);
    y += lineHeight;
  }
}

}  // namespace framework
