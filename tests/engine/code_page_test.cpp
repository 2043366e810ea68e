#include "engine/code_page.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <random>
#include <string>
#include <thread>
#include <vector>

#include "tests/engine/cp936_reference.h"

namespace cuijian {
namespace {

using testing::ReadCp936Table;
using testing::Utf8Of;

Bytes B(std::string_view s) { return Bytes(s.begin(), s.end()); }

/// glibc's converter for one character: its code page 936 bytes, or empty when it has none.
std::string IconvCp936(iconv_t cd, const std::string& utf8) {
  char out[8];
  char* in_ptr = const_cast<char*>(utf8.data());
  std::size_t in_left = utf8.size();
  char* out_ptr = out;
  std::size_t out_left = sizeof(out);
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  if (iconv(cd, &in_ptr, &in_left, &out_ptr, &out_left) == static_cast<std::size_t>(-1)) return {};
  return std::string(out, static_cast<std::size_t>(out_ptr - out));
}

struct DecodeCase {
  const char* name;
  std::string page;
  std::string expected;
};

TEST(DecodeUtf8PageTest, ByteExamples) {
  const std::string zhong_wen = "\xE4\xB8\xAD\xE6\x96\x87";  // two Chinese characters
  const std::vector<DecodeCase> cases = {
      {"ascii", "abc", "abc"},
      {"chinese", zhong_wen, "\xD6\xD0\xCE\xC4"},
      {"euro sign is the single byte 0x80", "\xE2\x82\xAC", "\x80"},
      {"zero byte ends the text", std::string("a\0b", 3), "a"},
      {"leading zero byte", std::string("\0ab", 3), ""},
      {"lone FF",
       "a\xFF"
       "b" +
           zhong_wen,
       "a?b\xD6\xD0\xCE\xC4"},
      {"lone continuation byte", "\x80x", "?x"},
      {"run of continuation bytes", "\x80\xBF\x80", "???"},
      {"truncated at end", "a\xE4\xB8", "a?"},
      {"truncated before ascii", "\xE4\xB8z", "?z"},
      {"truncated before a character", "\xE4\xB8" + zhong_wen, "?\xD6\xD0\xCE\xC4"},
      {"truncated two-byte", "\xC3z", "?z"},
      {"overlong two-byte slash", "\xC0\xAF", "?"},
      {"overlong three-byte slash", "\xE0\x80\xAF", "?"},
      {"overlong four-byte slash", "\xF0\x80\x80\xAF", "?"},
      {"encoded high surrogate", "\xED\xA0\x80", "?"},
      {"encoded low surrogate",
       "a\xED\xBF\xBF"
       "b",
       "a?b"},
      {"character beyond the BMP", "\xF0\x9F\x98\x80!", "?!"},
      {"beyond U+10FFFF", "\xF4\x90\x80\x80", "?"},
      {"old five-byte form", "\xF8\x88\x80\x80\x80", "?"},
      {"lone FE", "\xFE", "?"},
      {"character without a form", "\xE2\x98\x83", "?"},  // U+2603
      {"zero after malformed", std::string("\xE4\0z", 3), "?"},
  };
  for (const DecodeCase& c : cases) {
    EXPECT_EQ(DecodeUtf8Page(B(c.page)), c.expected) << c.name;
    EXPECT_EQ(Utf8ToCp936(c.page), c.expected) << c.name;
  }
  EXPECT_EQ(DecodeUtf8Page(Bytes{}), "");
}

TEST(DecodeUtf8PageTest, ZeroByteAtEveryPositionOfAnAsciiRun) {
  // The ASCII path reads eight bytes at a time; a zero byte must stop it wherever it falls.
  const std::string run = "abcdefghijklmnopqrstuvwxyz0123456789";
  for (std::size_t at = 0; at < run.size(); ++at) {
    std::string page = run;
    page[at] = '\0';
    EXPECT_EQ(Utf8ToCp936(page), run.substr(0, at)) << at;
  }
  for (std::size_t at = 0; at < run.size(); ++at) {
    std::string page = run;
    page.insert(at, "\xE4\xB8\xAD");
    std::string expected = run;
    expected.insert(at, "\xD6\xD0");
    EXPECT_EQ(Utf8ToCp936(page), expected) << at;
  }
}

TEST(DecodeUtf8PageTest, EveryBmpCharacterAgainstTheVendorTableAndIconv) {
  const auto table = ReadCp936Table();
  ASSERT_EQ(table.size(), 21920u);
  const iconv_t cd = iconv_open("CP936", "UTF-8");
  ASSERT_NE(cd, reinterpret_cast<iconv_t>(-1));
  int mismatches = 0;
  std::string page;
  std::string expected_page;
  for (std::uint32_t cp = 1; cp < 0x10000; ++cp) {
    if (cp >= 0xD800 && cp <= 0xDFFF) continue;
    const std::string utf8 = Utf8Of(cp);
    const auto found = table.find(cp);
    const std::string expected = found == table.end() ? "?" : found->second;
    // glibc's converter is an independent second reference for the same table.
    const std::string by_iconv = IconvCp936(cd, utf8);
    if (Utf8ToCp936(utf8) != expected || (by_iconv.empty() ? "?" : by_iconv) != expected ||
        (found != table.end() && Cp936ToUtf8(expected) != utf8)) {
      if (++mismatches < 10) ADD_FAILURE() << "U+" << std::hex << cp;
    }
    page += utf8;
    expected_page += expected;
  }
  iconv_close(cd);
  EXPECT_EQ(mismatches, 0);
  // All characters in one page: nothing carries over wrongly from one character to the next.
  EXPECT_EQ(Utf8ToCp936(page), expected_page);
  EXPECT_EQ(Utf8ToCp936(Utf8Of(0)), "");
}

TEST(DecodeUtf8PageTest, RandomBytesKeepTheTextRules) {
  std::mt19937 random(936);
  std::uniform_int_distribution<int> byte(0, 255);
  std::uniform_int_distribution<int> length(0, 64);
  for (int round = 0; round < 20000; ++round) {
    std::string page(static_cast<std::size_t>(length(random)), '\0');
    // Mostly high bytes, so that sequences of every shape and break occur.
    for (char& c : page) c = static_cast<char>(byte(random) | (byte(random) & 0x80));
    const Text text = Utf8ToCp936(page);
    ASSERT_LE(text.size(), page.size());
    ASSERT_EQ(text.find('\0'), Text::npos);
  }
}

TEST(DecodeUtf8PageTest, ManyThreadsAtOnceGetTheSameResult) {
  std::string page;
  for (int i = 0; i < 2000; ++i) page += "\xE7\xAC\xAC\xE4\xB8\x80\xE7\xAB\xA0&nbsp;<br/>";
  const Text expected = Utf8ToCp936(page);
  std::vector<std::thread> threads;
  std::vector<Text> results(4);
  for (Text& result : results) {
    threads.emplace_back([&page, &result] { result = DecodeUtf8Page(B(page)); });
  }
  for (std::thread& t : threads) t.join();
  for (const Text& result : results) EXPECT_EQ(result, expected);
}

TEST(Cp936ToUtf8Test, ByteExamples) {
  const std::vector<DecodeCase> cases = {
      {"ascii", "abc", "abc"},
      {"chinese", "\xD6\xD0\xCE\xC4", "\xE4\xB8\xAD\xE6\x96\x87"},
      {"euro sign", "\x80", "\xE2\x82\xAC"},
      {"FF is no character",
       "a\xFF"
       "b",
       "a?b"},
      {"lead byte at the end", "a\x81", "a?"},
      {"lead byte before a blank keeps the blank", "\x81 x", "? x"},
      {"lead byte before 7F keeps it", "\x81\x7F", "?\x7F"},
      {"unused pair, then a lone lead byte", "\xFE\xD6\xD0", "??"},
      {"lead byte before a digit keeps the digit",
       "\xD6"
       "0",
       "?0"},
      {"empty", "", ""},
  };
  for (const DecodeCase& c : cases) EXPECT_EQ(Cp936ToUtf8(c.page), c.expected) << c.name;
}

TEST(Cp936ToUtf8Test, EveryDoubleBytePairAgainstTheVendorTable) {
  std::map<std::string, std::uint32_t> by_bytes;
  for (const auto& [cp, bytes] : ReadCp936Table()) by_bytes[bytes] = cp;
  int mismatches = 0;
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      if (trail == 0x7F) continue;
      const std::string pair = {static_cast<char>(lead), static_cast<char>(trail)};
      const auto found = by_bytes.find(pair);
      const std::string expected = found == by_bytes.end() ? "?" : Utf8Of(found->second);
      if (Cp936ToUtf8(pair) != expected && ++mismatches < 10) {
        ADD_FAILURE() << std::hex << lead << " " << trail;
      }
    }
  }
  EXPECT_EQ(mismatches, 0);
}

}  // namespace
}  // namespace cuijian
