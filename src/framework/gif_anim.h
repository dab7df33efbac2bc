#pragma once
// The animated picture: the frames of a GIF from the archive, drawn on the window in turn while
// the animation plays. Nothing is drawn while it is stopped.

#include <memory>
#include <vector>

#include <wx/bitmap.h>

#include "framework/control.h"

class wxTimer;

namespace framework {

class CGifAnimUI : public CControlUI {
 public:
  CGifAnimUI();
  ~CGifAnimUI() override;
  std::wstring_view GetClass() const override { return L"GifAnim"; }
  void PlayGif();
  void StopGif();
  bool IsPlaying() const { return playing_; }
  size_t GetFrameCount() const { return frames_.size(); }
  size_t GetCurrentFrame() const { return current_; }
  void SetManager(CPaintManagerUI* manager, CControlUI* parent) override;
  bool SetAttribute(std::wstring_view name, std::wstring_view value) override;
  void DoPaint(wxDC& dc, const wxRect& clip) override;

 private:
  void LoadFrames();
  void NextFrame();

  std::wstring file_;
  std::vector<wxBitmap> frames_;
  std::unique_ptr<wxTimer> timer_;
  size_t current_ = 0;
  bool playing_ = false;
  int delay_ = 80;
};

}  // namespace framework
