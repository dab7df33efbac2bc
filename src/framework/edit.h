#pragma once
// The edit box: a native text field laid over the control, with the control's frame pictures
// drawn around it. Enter raises "return".

#include "framework/label.h"

class wxTextCtrl;

namespace framework {

class CEditUI : public CLabelUI {
 public:
  CEditUI();
  ~CEditUI() override;
  std::wstring_view GetClass() const override { return L"Edit"; }
  const std::wstring& GetText() const override;
  void SetText(std::wstring text) override;
  bool IsReadOnly() const { return readOnly_; }
  void SetReadOnly(bool readOnly);
  void SetManager(CPaintManagerUI* manager, CControlUI* parent) override;
  bool SetAttribute(std::wstring_view name, std::wstring_view value) override;
  void SyncNative() override;
  bool IsCaptionTransparent() const override { return false; }
  wxTextCtrl* GetNative() const { return native_; }

 protected:
  void PaintStatusImage(wxDC& dc) override;
  void PaintText(wxDC& dc) override;

 private:
  void CreateNative();
  wxTextCtrl* native_ = nullptr;
  bool readOnly_ = false;
  ImageSpec normal_, hot_, focused_, disabled_;
  mutable std::wstring cache_;
};

}  // namespace framework
