#include "productinfo/resource_check.h"

#include <gtest/gtest.h>

#include "tests/native/version_block_builder.h"

using vblock::Bytes;
using vblock::KeyOffset;

namespace {
bool Sound(const Bytes& b) { return VersionBlockIsSound(b.data(), b.size()); }

}  // namespace

TEST(VersionBlock, SoundBlocksPassAsTheyAreRead) {
  Bytes b = vblock::SoundBlock();
  EXPECT_TRUE(Sound(b));
  // GetFileVersionInfo's buffer is larger than the block it holds.
  Bytes roomy = b;
  roomy.resize(b.size() * 2 + 4, 0);
  EXPECT_TRUE(Sound(roomy));
  // The 16-bit form: ANSI keys, no type word.
  Bytes old = {0, 0, 0, 0};
  for (char c : std::string("VS_VERSION_INFO")) old.push_back(static_cast<unsigned char>(c));
  old.push_back(0);
  vblock::PutWord(old, 0, old.size());
  EXPECT_TRUE(Sound(old));
}

TEST(VersionBlock, LengthsOutsideWhatWasReadFail) {
  Bytes b = vblock::SoundBlock();
  Bytes longRoot = b;
  vblock::PutWord(longRoot, 0, 0xFFFF);  // the root claims more than was read
  EXPECT_FALSE(Sound(longRoot));
  EXPECT_FALSE(VersionBlockIsSound(b.data(), b.size() - 1));

  Bytes table = b;  // a string table longer than its parent
  const size_t at = KeyOffset(b, "041103A4");
  vblock::PutWord(table, at, b[at] + 0x200);
  EXPECT_FALSE(Sound(table));

  Bytes empty = b;  // a zero length would never move on to the next node
  vblock::PutWord(empty, KeyOffset(b, "CompanyName"), 0);
  EXPECT_FALSE(Sound(empty));

  Bytes value = b;  // a value longer than its node
  vblock::PutWord(value, KeyOffset(b, "FileDescription") + 2, 0x400);
  EXPECT_FALSE(Sound(value));

  Bytes key = b;  // a key without its terminating zero
  const size_t last = KeyOffset(b, "Translation");
  key.resize(last + 6 + 8);
  vblock::PutWord(key, last, 14);
  vblock::PutWord(key, 0, key.size());
  EXPECT_FALSE(Sound(key));

  Bytes deep = vblock::Node("k", {}, true);  // nesting no block has
  for (int i = 0; i < 20; ++i) deep = vblock::Node("k", {}, true, {deep});
  EXPECT_FALSE(Sound(deep));
  EXPECT_FALSE(VersionBlockIsSound(nullptr, 100));
  EXPECT_FALSE(VersionBlockIsSound(b.data(), 5));
}

TEST(VersionBlock, QueryRoomCoversTheAnsiCopies) {
  Bytes b = vblock::SoundBlock();
  const size_t length = b.size();
  EXPECT_EQ(VersionQueryRoom(b.data(), length), 2 * length + 4);
  b.resize(3 * length, 0);
  EXPECT_EQ(VersionQueryRoom(b.data(), b.size()), 3 * length);
}

TEST(VersionBlock, TextIsCopiedUpToItsZeroInsideTheBlock) {
  // "日本語会社" in CP932: ten bytes, while Windows reports six characters.
  const char block[] = "xx\x93\xFA\x96\x7B\x8C\xEA\x89\xEF\x8E\xD0\0yy";
  const char* end = block + sizeof block;
  EXPECT_EQ(TextUpToNul(block + 2, block, end), "\x93\xFA\x96\x7B\x8C\xEA\x89\xEF\x8E\xD0");
  EXPECT_EQ(TextUpToNul(block + 13, block, block + 15), "yy");  // no zero: up to the end
  EXPECT_EQ(TextUpToNul(block + 15, block, block + 15), "");
  EXPECT_EQ(TextUpToNul(block, block + 1, end), "");  // before the block
  EXPECT_EQ(TextUpToNul(nullptr, block, end), "");
}

TEST(IconGroup, CountAndNamedIconsAreChecked) {
  auto present = [](uint16_t id) -> size_t { return id == 1 ? 744 : 0; };
  Bytes one = {0, 0, 1, 0, 1, 0, 32, 32, 0, 0, 1, 0, 32, 0, 0xE8, 2, 0, 0, 1, 0};
  EXPECT_TRUE(IconGroupIsSound(one.data(), one.size(), present));
  Bytes claims = one;
  claims[4] = claims[5] = 0xFF;  // 65,535 icons, one held
  EXPECT_FALSE(IconGroupIsSound(claims.data(), claims.size(), present));
  Bytes none = one;
  none[4] = 0;
  EXPECT_FALSE(IconGroupIsSound(none.data(), none.size(), present));
  Bytes missing = one;
  missing[18] = 2;  // names an icon the file does not have
  EXPECT_FALSE(IconGroupIsSound(missing.data(), missing.size(), present));
  EXPECT_FALSE(IconGroupIsSound(one.data(), one.size() - 1, present));
  EXPECT_FALSE(IconGroupIsSound(one.data(), 5, present));
}
