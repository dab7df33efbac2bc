#include "framework/progress.h"

#include <algorithm>

#include "framework/paint_manager.h"

namespace framework {

void CProgressUI::SetMinValue(int value) {
  min_ = value;
  Invalidate();
}

void CProgressUI::SetMaxValue(int value) {
  max_ = value;
  Invalidate();
}

void CProgressUI::SetValue(int value) {
  value_ = value;
  Invalidate();
}

bool CProgressUI::SetAttribute(std::wstring_view name, std::wstring_view value) {
  if (name == L"hor") {
    horizontal_ = ParseBool(value);
  } else if (name == L"min") {
    min_ = ParseInt(value);
  } else if (name == L"max") {
    max_ = ParseInt(value);
  } else if (name == L"value") {
    value_ = ParseInt(value);
  } else if (name == L"foreimage") {
    fore_ = ParseImageSpec(value);
  } else {
    return CLabelUI::SetAttribute(name, value);
  }
  Invalidate();
  return true;
}

void CProgressUI::PaintStatusImage(wxDC& dc) {
  if (max_ <= min_ || fore_.empty() || manager_ == nullptr)
    return;
  double part = std::clamp(static_cast<double>(value_ - min_) / (max_ - min_), 0.0, 1.0);
  wxRect done = pos_;
  if (horizontal_) {
    done.width = static_cast<int>(pos_.width * part);
  } else {
    done.height = static_cast<int>(pos_.height * part);
    done.y = pos_.GetBottom() + 1 - done.height;
  }
  if (done.width > 0 && done.height > 0)
    manager_->Images().Draw(dc, done, fore_);
}

}  // namespace framework
