#include "framework/builder.h"

#include <gtest/gtest.h>

#include "framework/button.h"
#include "framework/container.h"
#include "framework/list.h"
#include "framework/resource_archive.h"
#include "framework/tree.h"
#include "framework/zip_fixture.h"

namespace framework {
namespace {

class Pages : public IDialogBuilderCallback {
 public:
  std::unique_ptr<CControlUI> CreateControl(std::wstring_view name) override {
    if (name != L"MyPage")
      return nullptr;
    auto page = std::make_unique<CContainerUI>();
    page->SetName(L"page");
    return page;
  }
};

struct Built {
  std::string zip;
  std::unique_ptr<ResourceArchive> archive;
  std::unique_ptr<CControlUI> root;
};

Built Build(const std::string& xml, IDialogBuilderCallback* callback = nullptr) {
  Built built;
  built.zip = frameworktest::MakeZip({{"test.xml", xml}});
  built.archive = std::make_unique<ResourceArchive>(built.zip.data(), built.zip.size());
  CDialogBuilder builder;
  built.root = builder.Create(L"test.xml", built.archive.get(), callback);
  return built;
}

std::string ErrorOf(const std::string& xml) {
  Pages pages;
  try {
    Build(xml, &pages);
  } catch (const LayoutError& error) {
    return error.what();
  }
  return "";
}

TEST(BuilderTest, BuildsTreeWithWindowInfoAndCallbackControls) {
  Pages pages;
  std::string zip = frameworktest::MakeZip({{"w.xml", R"(<?xml version="1.0" encoding="utf-8"?>
<Window size="876,522" caption="0,0,0,70" sizebox="5,5,5,5">
  <Font id="0" name="Sans" size="13" default="true" />
  <HorizontalLayout>
    <Option name="optA" group="g" selected="true" text="A" />
    <Option name="OptB" group="g" />
    <MyPage />
  </HorizontalLayout>
</Window>)"}});
  ResourceArchive archive(zip.data(), zip.size());
  CDialogBuilder builder;
  auto root = builder.Create(L"w.xml", &archive, &pages);
  EXPECT_EQ(builder.GetWindowInfo().size, wxSize(876, 522));
  EXPECT_EQ(builder.GetWindowInfo().caption.bottom, 70);
  auto* layout = dynamic_cast<CHorizontalLayoutUI*>(root.get());
  ASSERT_NE(layout, nullptr);
  ASSERT_EQ(layout->GetCount(), 3);
  auto* a = dynamic_cast<COptionUI*>(layout->GetItemAt(0));
  ASSERT_NE(a, nullptr);
  EXPECT_TRUE(a->IsSelected());
  EXPECT_EQ(a->GetGroup(), L"g");
  EXPECT_EQ(layout->GetItemAt(2)->GetName(), L"page");
}

TEST(BuilderTest, StrictLoadingNamesFileAndLine) {
  struct Case {
    const char* xml;
    const char* expected;
  };
  const Case cases[] = {
      {"<Window>\n<VerticalLayout>\n  <Bogus />\n</VerticalLayout>\n</Window>",
       "test.xml:3: unknown element <Bogus>"},
      {"<Window>\n<VerticalLayout>\n\n  <Label colour=\"#FF000000\" "
       "/>\n</VerticalLayout>\n</Window>",
       "test.xml:4: unknown attribute 'colour' of <Label>"},
      {"<Window>\n<Label textcolor=\"red\" />\n</Window>",
       "test.xml:2: <Label>: colour must start with #"},
      {"<Window wide=\"1\">\n<Label />\n</Window>",
       "test.xml:1: unknown attribute 'wide' of <Window>"},
      {"<Window>\n<Label>\n<Label />\n</Label>\n</Window>",
       "test.xml:3: <Label> cannot hold children"},
      {"<Window>\n<Label bkimage=\"file='a.png' zoom='2'\" />\n</Window>",
       "test.xml:2: <Label>: unknown image key 'zoom'"},
      {"<Window>\n<Label>\n</Window>", "test.xml:3: "},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ErrorOf(c.xml).rfind(c.expected, 0), 0u) << c.xml << "\n got: " << ErrorOf(c.xml);
  }
}

TEST(BuilderTest, MissingLayoutIsAnError) {
  std::string zip = frameworktest::MakeZip({{"a.xml", "<Label />"}});
  ResourceArchive archive(zip.data(), zip.size());
  CDialogBuilder builder;
  EXPECT_THROW(builder.Create(L"b.xml", &archive), LayoutError);
}

TEST(BuilderTest, RowLayoutParsedOnceServesManyRows) {
  std::string zip = frameworktest::MakeZip(
      {{"row.xml",
        "<ListContainerElement height=\"24\"><Label name=\"LBName\" /></ListContainerElement>"}});
  ResourceArchive archive(zip.data(), zip.size());
  CDialogBuilder builder;
  CListUI list;
  ASSERT_TRUE(list.Add(builder.Create(L"row.xml", &archive)));
  ASSERT_TRUE(list.Add(builder.Create()));
  ASSERT_TRUE(list.Add(builder.Create()));
  EXPECT_EQ(list.GetCount(), 3);
  EXPECT_TRUE(list.SelectItem(1, false));
  EXPECT_EQ(list.GetCurSel(), 1);
  // Removing a row above the selection keeps the same row selected.
  list.Remove(list.GetItemAt(0));
  EXPECT_EQ(list.GetCurSel(), 0);
  list.Remove(list.GetItemAt(0));
  EXPECT_EQ(list.GetCurSel(), -1);
}

TEST(BuilderTest, TreeNodesFollowTheirParentsAndCollapse) {
  CTreeViewUI tree;
  auto first = std::make_unique<CTreeNodeUI>();
  CTreeNodeUI* a = first.get();
  tree.Add(std::move(first));
  auto second = std::make_unique<CTreeNodeUI>();
  CTreeNodeUI* b = second.get();
  tree.Add(std::move(second));
  auto child = std::make_unique<CTreeNodeUI>();
  CTreeNodeUI* a1 = child.get();
  a->Add(std::move(child));
  auto grandchild = std::make_unique<CTreeNodeUI>();
  CTreeNodeUI* a11 = grandchild.get();
  a1->Add(std::move(grandchild));

  // Rows in tree order: a, a1, a11, b.
  EXPECT_EQ(tree.GetItemIndex(a1), 1);
  EXPECT_EQ(tree.GetItemIndex(a11), 2);
  EXPECT_EQ(tree.GetItemIndex(b), 3);
  EXPECT_EQ(a11->GetDepth(), 2);
  EXPECT_FALSE(b->GetFolderButton()->IsEnabled())
      << "a node without children has a disabled folder button";
  EXPECT_TRUE(a->GetFolderButton()->IsEnabled());

  tree.ExpandAll();
  EXPECT_TRUE(a11->IsVisible());
  a->SetExpanded(false);
  EXPECT_FALSE(a1->IsVisible());
  EXPECT_FALSE(a11->IsVisible());
  a->SetExpanded(true);
  EXPECT_TRUE(a11->IsVisible());

  a->SetItemText(L"Chapter 1");
  EXPECT_EQ(a->GetCheckBox()->GetText(), L"Chapter 1");
  EXPECT_EQ(a->GetCheckBox()->GetToolTip(), L"Chapter 1");
}

TEST(BuilderTest, TabLayoutShowsOnlyItsCurrentPageWhenItsParentIsHiddenAndShown) {
  Built built = Build(
      "<VerticalLayout><TabLayout name=\"tabs\" selectedid=\"1\"><Control name=\"p0\" />"
      "<Control name=\"p1\" /><Control name=\"p2\" /></TabLayout></VerticalLayout>");
  auto* root = dynamic_cast<CContainerUI*>(built.root.get());
  auto* tabs = dynamic_cast<CTabLayoutUI*>(root->GetItemAt(0));
  ASSERT_NE(tabs, nullptr);
  auto visible = [&] {
    std::vector<bool> v;
    for (int i = 0; i < tabs->GetCount(); ++i)
      v.push_back(tabs->GetItemAt(i)->IsVisible());
    return v;
  };
  EXPECT_EQ(visible(), (std::vector<bool>{false, true, false}));
  root->SetAttribute(L"visible", L"false");
  EXPECT_FALSE(tabs->GetItemAt(1)->IsShown());
  root->SetAttribute(L"visible", L"true");
  EXPECT_EQ(visible(), (std::vector<bool>{false, true, false}));
  tabs->SelectItem(2);
  EXPECT_EQ(visible(), (std::vector<bool>{false, false, true}));
  EXPECT_FALSE(tabs->SelectItem(3));
  EXPECT_EQ(tabs->GetCurSel(), 2);
}

}  // namespace
}  // namespace framework
