#pragma once
// Text drawing with the alignment flags of control.h: one line cut with an end ellipsis, or
// several lines wrapped at spaces (or between letters where a word is too long).

#include <string>
#include <vector>

#include <wx/dc.h>
#include <wx/font.h>

namespace framework {

// The lines a text takes in the given width with the DC's current font.
std::vector<wxString> WrapText(wxDC& dc, const wxString& text, int width);

void DrawTextIn(wxDC& dc, const wxRect& rect, const std::wstring& text, const wxFont& font,
                const wxColour& color, unsigned style);

}  // namespace framework
