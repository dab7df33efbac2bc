#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace {

std::wstring VersionText(const std::vector<char>& info, const wchar_t* name) {
  wchar_t* text = nullptr;
  UINT length = 0;
  std::wstring path = std::wstring(L"\\StringFileInfo\\080404B0\\") + name;
  if (!VerQueryValueW(info.data(), path.c_str(), reinterpret_cast<void**>(&text), &length))
    return L"(none)";
  return std::wstring(text, length > 0 ? length - 1 : 0);
}

TEST(WindowsResources, ManifestAndVersion) {
  HRSRC manifest = FindResourceW(nullptr, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
  ASSERT_NE(manifest, nullptr);
  const auto* bytes = static_cast<const char*>(LockResource(LoadResource(nullptr, manifest)));
  const std::string text(bytes, SizeofResource(nullptr, manifest));
  EXPECT_NE(text.find("requireAdministrator"), std::string::npos);
  EXPECT_NE(text.find("Microsoft.Windows.Common-Controls"), std::string::npos);

  wchar_t path[MAX_PATH];
  ASSERT_NE(GetModuleFileNameW(nullptr, path, MAX_PATH), 0u);
  DWORD size = GetFileVersionInfoSizeW(path, nullptr);
  ASSERT_NE(size, 0u);
  std::vector<char> info(size);
  ASSERT_TRUE(GetFileVersionInfoW(path, 0, size, info.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0x00000001u);
  EXPECT_EQ(VersionText(info, L"FileDescription"), L"varnik");
  EXPECT_EQ(VersionText(info, L"OriginalFilename"), L"varnik.exe");
  EXPECT_EQ(VersionText(info, L"ProductVersion"), L"1.0.0.1");
}

}  // namespace
