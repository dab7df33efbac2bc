#pragma once
// Text controls: a one-line label and a text that wraps.

#include "framework/control.h"

namespace framework {

class CLabelUI : public CControlUI {
 public:
  CLabelUI() { textStyle_ = kAlignLeft | kAlignVCenter; }
  std::wstring_view GetClass() const override { return L"Label"; }
  // Multi-line drawing: word-wrapped and centred both ways.
  void SetMultiLine(bool multi);
  bool IsMultiLine() const { return (textStyle_ & kWordWrap) != 0; }
};

class CTextUI : public CLabelUI {
 public:
  CTextUI() { textStyle_ = kAlignLeft | kAlignTop | kWordWrap; }
  std::wstring_view GetClass() const override { return L"Text"; }
};

}  // namespace framework
