#include "framework/attributes.h"

#include <gtest/gtest.h>

#include "framework/image.h"

namespace framework {
namespace {

TEST(AttributesTest, ColoursKeepAlphaExceptNearlyTransparentOnes) {
  wxColour blue = ParseColor(L"#FF2B569A");
  EXPECT_EQ(blue.Red(), 0x2B);
  EXPECT_EQ(blue.Green(), 0x56);
  EXPECT_EQ(blue.Blue(), 0x9A);
  EXPECT_EQ(blue.Alpha(), 0xFF);
  // The layouts write plain colours with alpha 0; they are drawn opaque.
  EXPECT_EQ(ParseColor(L"#00D4DEE5").Alpha(), 0xFF);
  EXPECT_EQ(ParseColor(L"#20000000").Alpha(), 0x20);
  EXPECT_EQ(ParseColor(L"#123456").Alpha(), 0xFF);
  EXPECT_EQ(ParseRawAlpha(L"#00F0F0F0"), 0);
  for (const wchar_t* bad : {L"FF0000", L"#12345", L"#GG000000", L""}) {
    EXPECT_THROW(ParseColor(bad), AttributeError) << bad;
  }
}

TEST(AttributesTest, NumbersEdgesAndSizes) {
  EXPECT_EQ(ParseInt(L" -12 "), -12);
  EXPECT_THROW(ParseInt(L"12px"), AttributeError);
  Edges e = ParseEdges(L"5,0,10,2");
  EXPECT_EQ(e.left, 5);
  EXPECT_EQ(e.right, 10);
  EXPECT_EQ(e.bottom, 2);
  EXPECT_THROW(ParseEdges(L"1,2,3"), AttributeError);
  EXPECT_EQ(ParseSize(L"876,522"), wxSize(876, 522));
  EXPECT_TRUE(ParseBool(L"true"));
  EXPECT_THROW(ParseBool(L"yes"), AttributeError);
}

TEST(AttributesTest, ImageSpecsReadEveryKeyAndRefuseUnknownOnes) {
  ImageSpec bare = ParseImageSpec(L"setting.png");
  EXPECT_EQ(bare.file, L"setting.png");
  EXPECT_FALSE(bare.source.has_value());

  ImageSpec full = ParseImageSpec(
      L"file='listico.png' dest='0,0,16,16' source='80,0,96,16' corner='2,2,2,2' fade='0' "
      L"mask='#FFFF00FF'");
  EXPECT_EQ(full.file, L"listico.png");
  EXPECT_EQ(*full.source, wxRect(80, 0, 16, 16));
  EXPECT_EQ(*full.dest, wxRect(0, 0, 16, 16));
  EXPECT_EQ(full.corner.left, 2);
  EXPECT_EQ(full.fade, 0);
  ASSERT_TRUE(full.mask.has_value());
  EXPECT_EQ(full.mask->Red(), 0xFF);
  // The disabled folder picture of the chapter tree is written with a space before its quote.
  EXPECT_EQ(ParseImageSpec(L"file='tab.png' source='1,1,17,17'  fade= '0' ").fade, 0);

  EXPECT_THROW(ParseImageSpec(L"file='a.png' scale='2'"), AttributeError);
  EXPECT_THROW(ParseImageSpec(L"file='a.png"), AttributeError);
  EXPECT_THROW(ParseImageSpec(L"source='0,0,1,1'"), AttributeError);
}

TEST(AttributesTest, AttributeListsSplitIntoPairs) {
  auto pairs = SplitAttributeList(
      LR"(padding="0,1,0,0" width="16" normalimage="file='treeview_b.png' source='0,0,16,16' ")");
  ASSERT_EQ(pairs.size(), 3u);
  EXPECT_EQ(pairs[0].first, L"padding");
  EXPECT_EQ(pairs[2].second, L"file='treeview_b.png' source='0,0,16,16' ");
  EXPECT_THROW(SplitAttributeList(L"width=16"), AttributeError);
}

}  // namespace
}  // namespace framework
