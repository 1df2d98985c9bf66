// Reading registry strings.
#include <gtest/gtest.h>

#include "harness.h"
#include "productinfo/home_page.h"

namespace {
constexpr char kKey[] = "Software\\VorlaneTest";

class RegistryFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    DWORD number = 42;
    RegSetValueExA(key, "Number", 0, REG_DWORD, reinterpret_cast<BYTE*>(&number), sizeof number);
    RegSetValueExA(key, "Text", 0, REG_SZ, reinterpret_cast<const BYTE*>("C:\\Apps"), 8);
    RegSetValueExA(key, "Expand", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>("%X%\\y"), 6);
    RegSetValueExA(key, "Empty", 0, REG_SZ, nullptr, 0);
    RegCloseKey(key);
  }
  void TearDown() override { RegDeleteKeyA(HKEY_CURRENT_USER, kKey); }
};
}  // namespace

TEST_F(RegistryFixture, TextValuesReadAsTextOthersEmpty) {
  std::string v = "stale";
  EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, "\\Software\\VorlaneTest", "Text", v), 0);
  EXPECT_EQ(v, "C:\\Apps");
  EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, kKey, "Expand", v), 0);
  EXPECT_EQ(v, "%X%\\y");  // not expanded here
  EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, kKey, "Number", v), 0);
  EXPECT_EQ(v, "");
  EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, kKey, "Empty", v), 0);
  EXPECT_EQ(v, "");
}

TEST_F(RegistryFixture, MissingValueOrKeyGivesMinusOne) {
  std::string v = "stale";
  EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, kKey, "Missing", v), -1);
  EXPECT_EQ(v, "");
  EXPECT_EQ(ReadRegString(HKEY_CURRENT_USER, "Software\\NoSuchVorlaneKey", "Text", v), -1);
}

// The tests' own registry scope: a value of over 1 KB comes back whole, at
// the scope's end and, when the test program dies inside the scope, at the
// start of the next one (here: the scope never ends; the next start's
// restore runs).
TEST_F(RegistryFixture, TestValuesComeBackWholeAfterTheScopeOrADeath) {
  const std::string big(3000, 'b');
  HKEY key;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExA(key, "Big", 0, REG_SZ, reinterpret_cast<const BYTE*>(big.c_str()),
                           static_cast<DWORD>(big.size() + 1)), ERROR_SUCCESS);
  RegCloseKey(key);
  auto read = [](const char* name) {
    std::string v;
    return ReadRegString(HKEY_CURRENT_USER, kKey, name, v) == 0 ? v : std::string("(none)");
  };
  { harness::RegistryValue scoped(HKEY_CURRENT_USER, kKey, "Big", "small"); }
  EXPECT_TRUE(read("Big") == big) << read("Big").substr(0, 40);

  // Left undestroyed, as a death leaves them.
  new harness::RegistryValue(HKEY_CURRENT_USER, kKey, "Big", "after a death");
  new harness::RegistryValue(HKEY_CURRENT_USER, kKey, "New", "added");
  new harness::RegistryValue(HKEY_CURRENT_USER, kKey, "Big", "set twice");
  ASSERT_EQ(read("Big"), "set twice");
  harness::RestoreTestEnvironment();
  EXPECT_TRUE(read("Big") == big) << read("Big").substr(0, 40);
  EXPECT_EQ(read("New"), "(none)");
}
