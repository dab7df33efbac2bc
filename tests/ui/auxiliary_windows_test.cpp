// The about box and the feedback window build from their layouts as modal windows; the
// feedback window holds a real web view. Their own classes come with the about menu later;
// here plain framework windows stand in for them.

#include <gtest/gtest.h>

#include <wx/frame.h>
#include <wx/webview.h>

#include "framework/web_browser.h"
#include "framework/window_impl_base.h"
#include "ui/gui_support.h"

namespace ui {
namespace {

class LayoutWindow : public framework::WindowImplBase {
 public:
  explicit LayoutWindow(std::wstring file) : file_(std::move(file)) {}
  void Notify(framework::TNotifyUI& msg) override {
    if (msg.sType == framework::kNotifyClick && msg.pSender != nullptr &&
        (msg.pSender->GetName() == L"btnOK" || msg.pSender->GetName() == L"closebtn")) {
      Close();
    }
  }

 protected:
  std::wstring GetWindowClassName() const override { return L"LayoutWindow"; }
  std::wstring GetSkinFile() override { return file_; }

 private:
  std::wstring file_;
};

void Press(framework::WindowImplBase& window, const wchar_t* name) {
  auto& pm = window.GetPaintManager();
  pm.UpdateLayout();
  auto* control = pm.FindControl(name);
  ASSERT_NE(control, nullptr);
  wxPoint middle = control->GetPos().GetPosition() + control->GetPos().GetSize() / 2;
  pm.HandleMouse({framework::UIEventType::MouseMove, middle});
  pm.HandleMouse({framework::UIEventType::ButtonDown, middle});
  pm.HandleMouse({framework::UIEventType::ButtonUp, middle});
}

TEST(AuxiliaryWindowsTest, AboutBoxShowsModallyAndClosesWithOk) {
  LayoutWindow about(L"UIAbout.xml");
  about.Create(nullptr, L"ABOUT", wxDefaultPosition, wxDefaultSize,
               framework::WindowStyle{false, false});
  EXPECT_EQ(about.GetLayoutError(), "");
  EXPECT_EQ(about.GetHWND()->GetClientSize(), wxSize(600, 300));
  about.CenterWindow();
  bool checked = false;
  uitest::RunAfter(300, [&] {
    checked = true;
    uitest::Screenshot("about_box");
    Press(about, L"btnOK");
  });
  about.ShowModal();
  EXPECT_TRUE(checked);
  EXPECT_FALSE(about.IsWindow());
}

TEST(AuxiliaryWindowsTest, FeedbackWindowHoldsAWebViewOverItsBrowserControl) {
  LayoutWindow feedback(L"UIFeedBack.xml");
  feedback.Create(nullptr, L"FB", wxDefaultPosition, wxDefaultSize,
                  framework::WindowStyle{false, false});
  EXPECT_EQ(feedback.GetLayoutError(), "");
  EXPECT_EQ(feedback.GetHWND()->GetClientSize(), wxSize(503, 366));
  feedback.CenterWindow();
  bool checked = false;
  uitest::RunAfter(500, [&] {
    checked = true;
    auto& pm = feedback.GetPaintManager();
    auto* browser = pm.Find<framework::CWebBrowserUI>(L"oneclick_browser");
    ASSERT_NE(browser, nullptr);
    ASSERT_NE(browser->GetNative(), nullptr);
    EXPECT_EQ(browser->GetNative()->GetRect(), browser->GetPos());
    EXPECT_TRUE(browser->GetNative()->IsShown());
    Press(feedback, L"closebtn");
  });
  feedback.ShowModal();
  EXPECT_TRUE(checked);
}

}  // namespace
}  // namespace ui
