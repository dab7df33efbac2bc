#include "framework/image.h"

#include <wx/log.h>
#include <wx/mstream.h>

#include "framework/resource_archive.h"

namespace framework {

namespace {

wxRect RectFromEdges(const Edges& e) {
  return wxRect(e.left, e.top, e.right - e.left, e.bottom - e.top);
}

// Splits "key='value' key='value'" into pairs; quotes may be single or double.
template <typename F>
void ForEachPair(std::wstring_view text, F&& f) {
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && (text[i] == L' ' || text[i] == L'\t'))
      ++i;
    if (i >= text.size())
      break;
    size_t eq = text.find(L'=', i);
    if (eq == std::wstring_view::npos)
      throw AttributeError("image attribute without '='");
    std::wstring_view key = text.substr(i, eq - i);
    while (!key.empty() && key.back() == L' ')
      key.remove_suffix(1);
    size_t q = eq + 1;
    while (q < text.size() && text[q] == L' ')
      ++q;
    if (q >= text.size() || (text[q] != L'\'' && text[q] != L'"')) {
      throw AttributeError("image attribute value must be quoted");
    }
    size_t end = text.find(text[q], q + 1);
    if (end == std::wstring_view::npos)
      throw AttributeError("unterminated image attribute");
    f(key, text.substr(q + 1, end - q - 1));
    i = end + 1;
  }
}

}  // namespace

ImageSpec ParseImageSpec(std::wstring_view text) {
  ImageSpec spec;
  if (text.find(L'=') == std::wstring_view::npos) {
    spec.file = std::wstring(text);
    return spec;
  }
  ForEachPair(text, [&spec](std::wstring_view key, std::wstring_view value) {
    if (key == L"file") {
      spec.file = std::wstring(value);
    } else if (key == L"source") {
      spec.source = RectFromEdges(ParseEdges(value));
    } else if (key == L"dest") {
      spec.dest = RectFromEdges(ParseEdges(value));
    } else if (key == L"corner") {
      spec.corner = ParseEdges(value);
    } else if (key == L"fade") {
      spec.fade = ParseInt(value);
    } else if (key == L"mask") {
      spec.mask = ParseColor(value);
    } else {
      throw AttributeError("unknown image key '" + ToUtf8(key) + "'");
    }
  });
  if (spec.file.empty())
    throw AttributeError("image without file");
  return spec;
}

const wxImage* ImageCache::Get(const std::wstring& file, const std::optional<wxColour>& mask) {
  std::wstring key =
      file + (mask ? L"|" + mask->GetAsString(wxC2S_HTML_SYNTAX).ToStdWstring() : L"");
  auto it = images_.find(key);
  if (it != images_.end())
    return it->second.get();
  std::unique_ptr<wxImage> image;
  if (archive_ != nullptr) {
    if (auto bytes = archive_->Read(file)) {
      wxMemoryInputStream stream(bytes->data(), bytes->size());
      auto decoded = std::make_unique<wxImage>();
      wxLogNull quiet;
      if (decoded->LoadFile(stream, wxBITMAP_TYPE_ANY) && decoded->IsOk()) {
        if (!decoded->HasAlpha())
          decoded->InitAlpha();
        if (mask) {
          for (int y = 0; y < decoded->GetHeight(); ++y) {
            for (int x = 0; x < decoded->GetWidth(); ++x) {
              if (decoded->GetRed(x, y) == mask->Red() &&
                  decoded->GetGreen(x, y) == mask->Green() &&
                  decoded->GetBlue(x, y) == mask->Blue()) {
                decoded->SetAlpha(x, y, 0);
              }
            }
          }
        }
        image = std::move(decoded);
      }
    }
  }
  const wxImage* result = image.get();
  images_[key] = std::move(image);
  return result;
}

void ImageCache::Draw(wxDC& dc, const wxRect& control, const ImageSpec& spec) {
  const wxImage* image = Get(spec.file, spec.mask);
  if (image == nullptr)
    return;
  wxRect source = spec.source.value_or(wxRect(0, 0, image->GetWidth(), image->GetHeight()));
  source.Intersect(wxRect(0, 0, image->GetWidth(), image->GetHeight()));
  if (source.IsEmpty())
    return;
  wxRect dest = control;
  if (spec.dest)
    dest = wxRect(control.x + spec.dest->x, control.y + spec.dest->y, spec.dest->width,
                  spec.dest->height);
  if (dest.width <= 0 || dest.height <= 0)
    return;

  wxString key;
  key << spec.file << "|" << source.x << "," << source.y << "," << source.width << ","
      << source.height << "|" << dest.width << "x" << dest.height << "|" << spec.corner.left << ","
      << spec.corner.top << "," << spec.corner.right << "," << spec.corner.bottom << "|"
      << spec.fade << "|" << (spec.mask ? spec.mask->GetAsString() : wxString());
  auto found = scaled_.find(key.ToStdWstring());
  if (found == scaled_.end()) {
    wxImage cell = image->GetSubImage(source);
    wxImage out(dest.width, dest.height);
    out.InitAlpha();
    for (int y = 0; y < dest.height; ++y) {
      for (int x = 0; x < dest.width; ++x)
        out.SetAlpha(x, y, 0);
    }
    const Edges& c = spec.corner;
    // Nine parts: corners copied, edges and middle stretched.
    int sx[4] = {0, c.left, cell.GetWidth() - c.right, cell.GetWidth()};
    int sy[4] = {0, c.top, cell.GetHeight() - c.bottom, cell.GetHeight()};
    int dx[4] = {0, c.left, dest.width - c.right, dest.width};
    int dy[4] = {0, c.top, dest.height - c.bottom, dest.height};
    for (int row = 0; row < 3; ++row) {
      for (int col = 0; col < 3; ++col) {
        int sw = sx[col + 1] - sx[col], sh = sy[row + 1] - sy[row];
        int dw = dx[col + 1] - dx[col], dh = dy[row + 1] - dy[row];
        if (sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0)
          continue;
        wxImage part = cell.GetSubImage(wxRect(sx[col], sy[row], sw, sh));
        if (sw != dw || sh != dh)
          part.Rescale(dw, dh, wxIMAGE_QUALITY_BILINEAR);
        out.Paste(part, dx[col], dy[row]);
      }
    }
    if (spec.fade < 255) {
      for (int y = 0; y < dest.height; ++y) {
        for (int x = 0; x < dest.width; ++x) {
          out.SetAlpha(x, y, static_cast<unsigned char>(out.GetAlpha(x, y) * spec.fade / 255));
        }
      }
    }
    found = scaled_.emplace(key.ToStdWstring(), wxBitmap(out)).first;
  }
  dc.DrawBitmap(found->second, dest.x, dest.y, true);
}

}  // namespace framework
