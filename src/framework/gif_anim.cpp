#include "framework/gif_anim.h"

#include <wx/animate.h>
#include <wx/generic/animate.h>
#include <wx/log.h>
#include <wx/mstream.h>

#include "framework/paint_manager.h"
#include "framework/resource_archive.h"

namespace framework {

CGifAnimUI::~CGifAnimUI() {
  if (native_ != nullptr)
    native_->Destroy();
}

void CGifAnimUI::PlayGif() {
  playing_ = true;
  if (native_ != nullptr)
    native_->Play();
  NeedUpdate();
}

void CGifAnimUI::StopGif() {
  playing_ = false;
  if (native_ != nullptr)
    native_->Stop();
  NeedUpdate();
}

void CGifAnimUI::SetManager(CPaintManagerUI* manager, CControlUI* parent) {
  CControlUI::SetManager(manager, parent);
  if (native_ == nullptr && manager != nullptr && manager->GetPaintWindow() != nullptr)
    CreateNative();
}

void CGifAnimUI::CreateNative() {
  const ResourceArchive* archive = manager_->GetArchive();
  if (archive == nullptr || file_.empty())
    return;
  auto bytes = archive->Read(file_);
  if (!bytes)
    return;
  native_ = new wxGenericAnimationCtrl(manager_->GetPaintWindow(), wxID_ANY);
  native_->Hide();
  // The GTK animation class reports no frames for GIFs; the generic one decodes them.
  wxAnimation animation = wxGenericAnimationCtrl::CreateCompatibleAnimation();
  wxMemoryInputStream stream(bytes->data(), bytes->size());
  wxLogNull quiet;
  if (animation.Load(stream, wxANIMATION_TYPE_GIF))
    native_->SetAnimation(animation);
  NeedUpdate();
}

bool CGifAnimUI::SetAttribute(std::wstring_view name, std::wstring_view value) {
  if (name == L"bkimage") {
    file_ = ParseImageSpec(value).file;
  } else if (name == L"autoplay") {
    playing_ = ParseBool(value);
  } else if (name == L"autosize") {
    ParseBool(value);
  } else {
    return CControlUI::SetAttribute(name, value);
  }
  return true;
}

void CGifAnimUI::SyncNative() {
  if (native_ == nullptr)
    return;
  // Nothing shows while the animation is stopped.
  bool shown = IsShown() && playing_ && pos_.width > 0;
  if (shown) {
    native_->SetSize(pos_);
    if (!native_->IsPlaying())
      native_->Play();
  } else if (native_->IsPlaying()) {
    native_->Stop();
  }
  if (native_->IsShown() != shown)
    native_->Show(shown);
}

}  // namespace framework
