#pragma once
// Image attributes ("file='a.png' source='0,0,16,16' dest='..' corner='..' fade='..' mask='..'"
// or a bare file name), the decoded pictures of an archive, and their drawing.

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include <wx/bitmap.h>
#include <wx/dc.h>
#include <wx/image.h>

#include "framework/attributes.h"

namespace framework {

class ResourceArchive;

struct ImageSpec {
  std::wstring file;
  std::optional<wxRect> source;  // cell of the picture, as left,top,right,bottom
  std::optional<wxRect> dest;    // placement inside the control, as left,top,right,bottom
  Edges corner;                  // edges kept unscaled when stretching
  int fade = 255;
  std::optional<wxColour> mask;  // colour key drawn transparent
  bool empty() const { return file.empty(); }
};

// Throws AttributeError on an unknown key or a bad value.
ImageSpec ParseImageSpec(std::wstring_view text);

// Decoded pictures of one archive, by file name.
class ImageCache {
 public:
  explicit ImageCache(const ResourceArchive* archive) : archive_(archive) {}
  // The picture, or nullptr when the archive does not hold it or it cannot be decoded.
  const wxImage* Get(const std::wstring& file, const std::optional<wxColour>& mask);
  // Draws the picture into the control's rectangle by its source, placement and corners.
  void Draw(wxDC& dc, const wxRect& control, const ImageSpec& spec);

 private:
  const ResourceArchive* archive_;
  std::map<std::wstring, std::unique_ptr<wxImage>> images_;
  std::map<std::wstring, wxBitmap> scaled_;
};

}  // namespace framework
