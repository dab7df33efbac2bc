#include "ui/pages.h"

#include <cstdio>

#include "framework/builder.h"

namespace ui {

namespace {

void BuildInto(framework::CContainerUI& page, std::wstring_view file,
               const framework::ResourceArchive* archive, framework::CPaintManagerUI* manager) {
  try {
    framework::CDialogBuilder builder;
    page.Add(builder.Create(file, archive, nullptr, manager));
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s\n", error.what());
    page.RemoveAll();
  }
}

}  // namespace

CBaseUI::CBaseUI(const framework::ResourceArchive* archive) {
  BuildInto(*this, L"BaseUI.xml", archive, nullptr);
  SetName(L"Base");
}

CChapterUI::CChapterUI(framework::CPaintManagerUI& manager) {
  BuildInto(*this, L"ChapterUI.xml", manager.GetArchive(), &manager);
  SetName(L"ChapterUI");
}

CAnyWhereUI::CAnyWhereUI(const framework::ResourceArchive* archive) {
  BuildInto(*this, L"AnyWhereUI.xml", archive, nullptr);
  SetName(L"pAnyWhereUI");
}

}  // namespace ui
