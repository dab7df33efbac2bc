#include "ui/ui_msg.h"

#include <future>
#include <vector>

#include <wx/app.h>
#include <wx/thread.h>

#include "framework/label.h"
#include "util/message_box.h"

namespace ui {

namespace {
// Open boxes, innermost last; touched on the windows' thread only.
std::vector<UIMsg*>& OpenBoxes() {
  static std::vector<UIMsg*> boxes;
  return boxes;
}
}  // namespace

UIMsg::~UIMsg() {
  auto& boxes = OpenBoxes();
  std::erase(boxes, this);
}

UIMsg* UIMsg::Active() {
  return OpenBoxes().empty() ? nullptr : OpenBoxes().back();
}

void UIMsg::ShowMessageBox(std::wstring_view text, framework::WindowImplBase* owner) {
  UIMsg box{std::wstring(text)};
  if (owner != nullptr && !owner->IsWindow())
    owner = nullptr;
  box.Create(owner, L"MSG", wxDefaultPosition, wxDefaultSize, framework::WindowStyle{false, false});
  box.CenterWindow();
  OpenBoxes().push_back(&box);
  box.ShowModal();
}

void UIMsg::Notify(framework::TNotifyUI& msg) {
  if (msg.sType == framework::kNotifyWindowInit) {
    if (auto* tip = m_pm.Find<framework::CLabelUI>(L"tip")) {
      tip->SetMultiLine(true);
      tip->SetText(text_);
    }
  } else if (msg.sType == framework::kNotifyClick && msg.pSender != nullptr &&
             msg.pSender->GetName() == L"btnOK") {
    Close();
  }
}

void InstallMessagePresenter() {
  util::SetMessagePresenter([](std::wstring_view text, util::WindowHandle owner) {
    auto* window = static_cast<framework::WindowImplBase*>(owner);
    if (wxThread::IsMain()) {
      UIMsg::ShowMessageBox(text, window);
      return;
    }
    if (wxTheApp == nullptr)
      return;
    std::promise<void> closed;
    std::future<void> done = closed.get_future();
    std::wstring copy(text);
    wxTheApp->CallAfter([&closed, &copy, window] {
      UIMsg::ShowMessageBox(copy, window);
      closed.set_value();
    });
    done.wait();
  });
}

}  // namespace ui
