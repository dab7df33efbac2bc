#include "framework/edit.h"

#include <wx/textctrl.h>

#include "framework/paint_manager.h"

namespace framework {

CEditUI::CEditUI() {
  bkColor_ = *wxWHITE;
  textPadding_ = {4, 3, 4, 3};
}

CEditUI::~CEditUI() {
  if (native_ != nullptr)
    native_->Destroy();
}

const std::wstring& CEditUI::GetText() const {
  if (native_ != nullptr) {
    cache_ = native_->GetValue().ToStdWstring();
    return cache_;
  }
  return text_;
}

void CEditUI::SetText(std::wstring text) {
  text_ = std::move(text);
  if (native_ != nullptr)
    native_->ChangeValue(wxString(text_));
  Invalidate();
}

void CEditUI::SetReadOnly(bool readOnly) {
  readOnly_ = readOnly;
  if (native_ != nullptr)
    native_->SetEditable(!readOnly);
}

void CEditUI::SetManager(CPaintManagerUI* manager, CControlUI* parent) {
  CLabelUI::SetManager(manager, parent);
  if (native_ == nullptr && manager != nullptr && manager->GetPaintWindow() != nullptr)
    CreateNative();
}

void CEditUI::CreateNative() {
  native_ = new wxTextCtrl(manager_->GetPaintWindow(), wxID_ANY, wxString(text_), wxDefaultPosition,
                           wxDefaultSize, wxBORDER_NONE | wxTE_PROCESS_ENTER);
  native_->Hide();
  native_->SetEditable(!readOnly_);
  native_->Bind(wxEVT_TEXT_ENTER, [this](wxCommandEvent&) { Notify(kNotifyReturn); });
  NeedUpdate();
}

bool CEditUI::SetAttribute(std::wstring_view name, std::wstring_view value) {
  if (name == L"readonly") {
    SetReadOnly(ParseBool(value));
  } else if (name == L"normalimage") {
    normal_ = ParseImageSpec(value);
  } else if (name == L"hotimage") {
    hot_ = ParseImageSpec(value);
  } else if (name == L"focusedimage") {
    focused_ = ParseImageSpec(value);
  } else if (name == L"disabledimage") {
    disabled_ = ParseImageSpec(value);
  } else if (name == L"nativebkcolor") {
    ParseColor(value);
  } else if (name == L"maxchar") {
    ParseInt(value);
  } else {
    if (!CLabelUI::SetAttribute(name, value))
      return false;
    if (name == L"text" && native_ != nullptr)
      native_->ChangeValue(wxString(text_));
    return true;
  }
  Invalidate();
  return true;
}

void CEditUI::SyncNative() {
  if (native_ == nullptr)
    return;
  bool shown = IsShown() && pos_.width > 0 && pos_.height > 0;
  if (shown) {
    wxRect r(pos_.x + textPadding_.left, pos_.y + textPadding_.top,
             pos_.width - textPadding_.left - textPadding_.right,
             pos_.height - textPadding_.top - textPadding_.bottom);
    if (r.width < 1 || r.height < 1)
      shown = false;
    native_->SetSize(r);
    if (manager_ != nullptr)
      native_->SetFont(manager_->GetFont(font_));
    bool enabled = IsEffectivelyEnabled();
    native_->Enable(enabled);
    wxColour bk = enabled && bkColor_ ? *bkColor_ : wxColour(0xF4, 0xF4, 0xF4);
    native_->SetBackgroundColour(bk);
    native_->SetForegroundColour(enabled ? textColor_.value_or(*wxBLACK)
                                         : wxColour(0xA7, 0xA6, 0xAA));
  }
  if (native_->IsShown() != shown)
    native_->Show(shown);
}

void CEditUI::PaintStatusImage(wxDC& dc) {
  if (!IsEffectivelyEnabled() && !disabled_.empty()) {
    DrawImage(dc, disabled_);
  } else {
    DrawImage(dc, normal_);
  }
}

void CEditUI::PaintText(wxDC& dc) {
  // The native field draws the text; only the end ellipsis of a read-only box is ours when
  // the native field is absent.
  if (native_ == nullptr)
    CLabelUI::PaintText(dc);
}

}  // namespace framework
