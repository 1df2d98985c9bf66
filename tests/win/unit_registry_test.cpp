// Reading registry strings.
#include <gtest/gtest.h>

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
