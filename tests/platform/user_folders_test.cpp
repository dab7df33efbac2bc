#include "platform/user_folders.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/text.h"

namespace {

namespace fs = std::filesystem;

// Sets an environment variable for one test and puts the old value back.
class EnvironmentScope {
 public:
  EnvironmentScope(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name))
      old_ = old;
    Set(value);
  }
  ~EnvironmentScope() { Set(old_); }
  EnvironmentScope(const EnvironmentScope&) = delete;
  EnvironmentScope& operator=(const EnvironmentScope&) = delete;

 private:
  void Set(const std::string& value) {
#ifdef _WIN32
    _putenv_s(name_, value.c_str());
#else
    if (value.empty())
      unsetenv(name_);
    else
      setenv(name_, value.c_str(), 1);
#endif
  }
  const char* name_;
  std::string old_;
};

TEST(UserFolders, SettingsAndCachesFollowTheUsersPlaces) {
#ifdef _WIN32
  EnvironmentScope settings("APPDATA", "C:\\Users\\u\\AppData\\Roaming");
  EnvironmentScope caches("LOCALAPPDATA", "C:\\Users\\u\\AppData\\Local");
  EXPECT_EQ(platform::UserSettingsBase(), L"C:\\Users\\u\\AppData\\Roaming");
  EXPECT_EQ(platform::UserCacheBase(), L"C:\\Users\\u\\AppData\\Local");
#else
  EnvironmentScope home("HOME", "/home/u");
  {
    EnvironmentScope settings("XDG_CONFIG_HOME", "/cfg");
    EnvironmentScope caches("XDG_CACHE_HOME", "relative/is/ignored");
    EXPECT_EQ(platform::UserSettingsBase(), L"/cfg");
    EXPECT_EQ(platform::UserCacheBase(), L"/home/u/.cache");
  }
  EnvironmentScope settings("XDG_CONFIG_HOME", "");
  EXPECT_EQ(platform::UserSettingsBase(), L"/home/u/.config");
#endif
}

TEST(UserFolders, PrivateTempFoldersAreNewWritableAndApart) {
  std::wstring first = platform::MakePrivateTempFolder(L"varnik-test-");
  std::wstring second = platform::MakePrivateTempFolder(L"varnik-test-");
  ASSERT_FALSE(first.empty());
  ASSERT_FALSE(second.empty());
  EXPECT_NE(first, second);
  const fs::path temp = fs::temp_directory_path();
  for (const std::wstring& folder : {first, second}) {
    fs::path path = platform::ToPath(folder);
    EXPECT_TRUE(fs::is_directory(path));
    EXPECT_TRUE(fs::is_empty(path));
    EXPECT_EQ(fs::weakly_canonical(path.parent_path()), fs::weakly_canonical(temp));
    EXPECT_TRUE(platform::ToUtf8(folder).find("varnik-test-") != std::string::npos);
    EXPECT_TRUE(platform::IsWritableFolder(folder));
    fs::remove(path);
  }
  // Gone or never there: nothing can be written into it.
  EXPECT_FALSE(platform::IsWritableFolder(first));
  EXPECT_FALSE(platform::IsWritableFolder(L""));
}

}  // namespace
