#include "framework/label.h"

namespace framework {

void CLabelUI::SetMultiLine(bool multi) {
  if (multi) {
    SetTextStyle(kAlignCenter | kAlignVCenter | kWordWrap);
  } else {
    SetTextStyle((textStyle_ & ~kWordWrap));
  }
}

}  // namespace framework
