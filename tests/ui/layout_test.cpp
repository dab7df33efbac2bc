// Every layout of the archive loads strictly, names every control the code looks up, and names
// only pictures the archive holds.

#include <set>

#include <gtest/gtest.h>

#include "framework/builder.h"
#include "framework/control.h"
#include "framework/paint_manager.h"
#include "framework/resource_archive.h"
#include "ui/control_names.h"
#include "ui/main_window.h"
#include "ui/pages.h"
#include "ui/skin_archive.h"

namespace ui {
namespace {

const framework::ResourceArchive& Archive() {
  return *framework::ResourceArchive::Find(kSkinResourceId);
}

// Builds a layout with the main window's page callback.
class PageCallback : public framework::IDialogBuilderCallback {
 public:
  explicit PageCallback(framework::CPaintManagerUI& manager) : manager_(manager) {}
  std::unique_ptr<framework::CControlUI> CreateControl(std::wstring_view name) override {
    if (name == L"BaseUI")
      return std::make_unique<CBaseUI>(&Archive());
    if (name == L"ChapterUI")
      return std::make_unique<CChapterUI>(manager_);
    if (name == L"AnyWhereUI")
      return std::make_unique<CAnyWhereUI>(&Archive());
    return nullptr;
  }

 private:
  framework::CPaintManagerUI& manager_;
};

template <size_t N>
void ExpectNames(framework::CPaintManagerUI& manager, framework::CControlUI* root,
                 const std::wstring_view (&names)[N], const char* layout) {
  for (std::wstring_view name : names) {
    EXPECT_NE(manager.FindSubControlByName(root, name), nullptr)
        << layout << " has no control named " << std::string(name.begin(), name.end());
  }
}

TEST(LayoutTest, EveryLayoutLoadsStrictlyAndHoldsTheNamesTheCodeUses) {
  framework::CPaintManagerUI manager;
  manager.Init(nullptr, &Archive());
  PageCallback pages(manager);
  std::map<std::wstring, std::unique_ptr<framework::CControlUI>> built;
  for (const wchar_t* file : {L"skin.xml", L"BaseUI.xml", L"ChapterUI.xml", L"AnyWhereUI.xml",
                              L"filelistitem.xml", L"planItem.xml", L"menu.xml", L"listmenu.xml",
                              L"UIMsg.xml", L"UIAbout.xml", L"UIFeedBack.xml"}) {
    framework::CDialogBuilder builder;
    try {
      built[file] = builder.Create(file, &Archive(), &pages, &manager);
    } catch (const std::exception& error) {
      ADD_FAILURE() << error.what();
    }
  }
  ASSERT_EQ(built.size(), 11u);
  ExpectNames(manager, built[L"skin.xml"].get(), kMainWindowControls, "skin.xml");
  ExpectNames(manager, built[L"filelistitem.xml"].get(), kDocumentRowControls, "filelistitem.xml");
  ExpectNames(manager, built[L"planItem.xml"].get(), kPlanRowControls, "planItem.xml");
  ExpectNames(manager, built[L"menu.xml"].get(), kAboutMenuControls, "menu.xml");
  ExpectNames(manager, built[L"listmenu.xml"].get(), kListMenuControls, "listmenu.xml");
  ExpectNames(manager, built[L"UIMsg.xml"].get(), kMessageBoxControls, "UIMsg.xml");
  ExpectNames(manager, built[L"UIAbout.xml"].get(), kAboutControls, "UIAbout.xml");
  ExpectNames(manager, built[L"UIFeedBack.xml"].get(), kFeedbackControls, "UIFeedBack.xml");

  // Names of the main window occur once each.
  std::map<std::wstring, int> counts;
  built[L"skin.xml"]->ForEach([&](framework::CControlUI* c) {
    if (!c->GetName().empty())
      ++counts[c->GetName()];
  });
  for (const auto& [name, count] : counts) {
    EXPECT_EQ(count, 1) << std::string(name.begin(), name.end());
  }
}

TEST(LayoutTest, EveryPictureTheLayoutsNameIsInTheArchive) {
  std::set<std::wstring> entries;
  for (const auto& name : Archive().Names())
    entries.insert(name);
  for (const auto& name : Archive().Names()) {
    if (!name.ends_with(L".xml"))
      continue;
    std::string xml = *Archive().Read(name);
    // Picture names appear as file='x' or as bare attribute values ending in a picture type.
    for (size_t at = 0; (at = xml.find_first_of("'\"", at)) != std::string::npos;) {
      size_t end = xml.find(xml[at], at + 1);
      if (end == std::string::npos)
        break;
      std::string value = xml.substr(at + 1, end - at - 1);
      for (const char* kind : {".png", ".bmp", ".gif", ".jpg"}) {
        if (value.size() > 4 && value.ends_with(kind) && value.find('=') == std::string::npos &&
            value.find(' ') == std::string::npos) {
          EXPECT_TRUE(entries.count(std::wstring(value.begin(), value.end())))
              << std::string(name.begin(), name.end()) << " names missing picture " << value;
        }
      }
      at = end + 1;
    }
  }
}

TEST(LayoutTest, WindowAnswersExactlyTheThreePageElements) {
  ui window;
  window.Create(nullptr, L"VARNIK");
  EXPECT_NE(window.CreateControl(L"BaseUI"), nullptr);
  EXPECT_NE(window.CreateControl(L"ChapterUI"), nullptr);
  EXPECT_NE(window.CreateControl(L"AnyWhereUI"), nullptr);
  for (const wchar_t* other : {L"baseui", L"Base", L"Tab", L"", L"AnyWhereUI2"}) {
    EXPECT_EQ(window.CreateControl(other), nullptr);
  }
  auto page = window.CreateControl(L"AnyWhereUI");
  EXPECT_EQ(page->GetName(), L"pAnyWhereUI");
}

}  // namespace
}  // namespace ui
