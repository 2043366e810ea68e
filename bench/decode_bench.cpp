// DecodeUtf8Page against one raw glibc iconv call over the same page into a preallocated buffer
// (the baseline), and against a converter driven by iconv with the same replacement rules (the
// design that the table-driven converter replaced). Pages are chapter pages as the site serves
// them: Chinese text with "&nbsp;" indents and "<br/>" breaks inside HTML.

#include <benchmark/benchmark.h>
#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <string>

#include "engine/code_page.h"
#include "text/text_types.h"

namespace {

void AppendUtf8(std::uint32_t cp, std::string* out) {
  out->push_back(static_cast<char>(0xE0 | (cp >> 12)));
  out->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
  out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
}

/// A chapter page of about `size` bytes of UTF-8.
std::string ChapterPage(std::size_t size) {
  std::string page =
      "<!DOCTYPE html>\r\n<html><head><meta charset=\"utf-8\"><title>chapter</title></head>\r\n"
      "<body><div class=\"bookname\"><h1>\xE7\xAC\xAC\xE4\xB8\x80\xE7\xAB\xA0</h1></div>\r\n"
      "<div id=\"content\"><script>readx();</script>\r\n";
  std::uint32_t seed = 936;
  while (page.size() < size - 200) {
    page += "&nbsp;&nbsp;&nbsp;&nbsp;";
    for (int i = 0; i < 60; ++i) {
      seed = seed * 1103515245u + 12345u;
      // Common ideographs, all of which have a code page 936 form.
      AppendUtf8(0x4E00 + (seed >> 16) % 0x51A5, &page);
      if (i % 15 == 14) page += "\xEF\xBC\x8C";  // full-width comma
    }
    page += "\xE3\x80\x82<br/><br/>";  // ideographic full stop
  }
  page += "<script>chaptererror();</script>\r\n</div></body></html>\r\n";
  return page;
}

void RawIconv(benchmark::State& state) {
  const std::string page = ChapterPage(static_cast<std::size_t>(state.range(0)));
  std::string out(page.size(), '\0');
  const iconv_t cd = iconv_open("CP936", "UTF-8");
  for (auto _ : state) {
    char* in = const_cast<char*>(page.data());
    std::size_t in_left = page.size();
    char* o = out.data();
    std::size_t out_left = out.size();
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    iconv(cd, &in, &in_left, &o, &out_left);
    benchmark::DoNotOptimize(o);
    benchmark::ClobberMemory();
  }
  iconv_close(cd);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * page.size()));
}

/// The whole conversion done with iconv: one pass, "?" for whatever it refuses, cut at zero.
cuijian::Text IconvConvert(iconv_t cd, const std::string& page) {
  cuijian::Text out(page.size(), '\0');
  char* in = const_cast<char*>(page.data());
  std::size_t in_left = page.size();
  char* o = out.data();
  std::size_t out_left = out.size();
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  while (iconv(cd, &in, &in_left, &o, &out_left) == static_cast<std::size_t>(-1)) {
    if (errno != EILSEQ && errno != EINVAL) break;
    *o++ = '?';
    --out_left;
    ++in;
    --in_left;
    while (in_left > 0 && (static_cast<unsigned char>(*in) & 0xC0) == 0x80) {
      ++in;
      --in_left;
    }
  }
  out.resize(static_cast<std::size_t>(o - out.data()));
  out.resize(out.find('\0') == cuijian::Text::npos ? out.size() : out.find('\0'));
  return out;
}

void IconvConverter(benchmark::State& state) {
  const std::string page = ChapterPage(static_cast<std::size_t>(state.range(0)));
  const iconv_t cd = iconv_open("CP936", "UTF-8");
  for (auto _ : state) benchmark::DoNotOptimize(IconvConvert(cd, page));
  iconv_close(cd);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * page.size()));
}

void DecodeUtf8Page(benchmark::State& state) {
  const std::string text = ChapterPage(static_cast<std::size_t>(state.range(0)));
  const cuijian::Bytes page(text.begin(), text.end());
  for (auto _ : state) benchmark::DoNotOptimize(cuijian::DecodeUtf8Page(page));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * page.size()));
}

BENCHMARK(RawIconv)->Arg(11 * 1024)->Arg(30 * 1024);
BENCHMARK(IconvConverter)->Arg(11 * 1024)->Arg(30 * 1024);
BENCHMARK(DecodeUtf8Page)->Arg(11 * 1024)->Arg(30 * 1024);

}  // namespace

BENCHMARK_MAIN();
