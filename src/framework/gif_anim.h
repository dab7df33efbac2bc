#pragma once
// The animated picture: a GIF from the archive played by a native animation control.

#include "framework/control.h"

class wxGenericAnimationCtrl;

namespace framework {

class CGifAnimUI : public CControlUI {
 public:
  ~CGifAnimUI() override;
  std::wstring_view GetClass() const override { return L"GifAnim"; }
  void PlayGif();
  void StopGif();
  bool IsPlaying() const { return playing_; }
  void SetManager(CPaintManagerUI* manager, CControlUI* parent) override;
  bool SetAttribute(std::wstring_view name, std::wstring_view value) override;
  void SyncNative() override;

 private:
  void CreateNative();
  wxGenericAnimationCtrl* native_ = nullptr;
  std::wstring file_;
  bool playing_ = false;
};

}  // namespace framework
