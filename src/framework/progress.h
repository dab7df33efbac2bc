#pragma once
// The progress bar: the fore picture is drawn over the part that is done.

#include "framework/label.h"

namespace framework {

class CProgressUI : public CLabelUI {
 public:
  std::wstring_view GetClass() const override { return L"Progress"; }
  int GetMinValue() const { return min_; }
  int GetMaxValue() const { return max_; }
  int GetValue() const { return value_; }
  void SetMinValue(int value);
  void SetMaxValue(int value);
  void SetValue(int value);
  bool SetAttribute(std::wstring_view name, std::wstring_view value) override;

 protected:
  void PaintStatusImage(wxDC& dc) override;

 private:
  bool horizontal_ = true;
  int min_ = 0;
  int max_ = 100;
  int value_ = 0;
  ImageSpec fore_;
};

}  // namespace framework
