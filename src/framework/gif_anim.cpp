#include "framework/gif_anim.h"

#include <functional>

#include <wx/image.h>
#include <wx/log.h>
#include <wx/mstream.h>
#include <wx/timer.h>

#include "framework/paint_manager.h"
#include "framework/resource_archive.h"

namespace framework {

namespace {
class FrameTimer : public wxTimer {
 public:
  explicit FrameTimer(std::function<void()> tick) : tick_(std::move(tick)) {}
  void Notify() override { tick_(); }

 private:
  std::function<void()> tick_;
};
}  // namespace

CGifAnimUI::CGifAnimUI() : timer_(std::make_unique<FrameTimer>([this] { NextFrame(); })) {}

CGifAnimUI::~CGifAnimUI() {
  timer_->Stop();
}

void CGifAnimUI::PlayGif() {
  if (playing_)
    return;
  playing_ = true;
  if (frames_.size() > 1)
    timer_->Start(delay_);
  Invalidate();
}

void CGifAnimUI::StopGif() {
  playing_ = false;
  timer_->Stop();
  current_ = 0;
  Invalidate();
}

void CGifAnimUI::NextFrame() {
  if (frames_.empty())
    return;
  current_ = (current_ + 1) % frames_.size();
  Invalidate();
}

void CGifAnimUI::SetManager(CPaintManagerUI* manager, CControlUI* parent) {
  CControlUI::SetManager(manager, parent);
  if (frames_.empty() && manager != nullptr)
    LoadFrames();
}

void CGifAnimUI::LoadFrames() {
  const ResourceArchive* archive = manager_->GetArchive();
  if (archive == nullptr || file_.empty())
    return;
  auto bytes = archive->Read(file_);
  if (!bytes)
    return;
  wxLogNull quiet;
  wxMemoryInputStream counter(bytes->data(), bytes->size());
  int count = wxImage::GetImageCount(counter, wxBITMAP_TYPE_GIF);
  for (int i = 0; i < count; ++i) {
    wxMemoryInputStream stream(bytes->data(), bytes->size());
    wxImage frame;
    if (frame.LoadFile(stream, wxBITMAP_TYPE_GIF, i))
      frames_.emplace_back(frame);
  }
  if (playing_ && frames_.size() > 1)
    timer_->Start(delay_);
}

bool CGifAnimUI::SetAttribute(std::wstring_view name, std::wstring_view value) {
  if (name == L"bkimage") {
    file_ = ParseImageSpec(value).file;
  } else if (name == L"autoplay") {
    playing_ = ParseBool(value);
  } else if (name == L"autosize") {
    ParseBool(value);
  } else if (name == L"delay") {
    delay_ = std::max(10, ParseInt(value));
  } else {
    return CControlUI::SetAttribute(name, value);
  }
  return true;
}

void CGifAnimUI::DoPaint(wxDC& dc, const wxRect& clip) {
  CControlUI::DoPaint(dc, clip);
  if (!playing_ || frames_.empty() || !pos_.Intersects(clip))
    return;
  dc.DrawBitmap(frames_[current_ % frames_.size()], pos_.x, pos_.y, true);
}

}  // namespace framework
