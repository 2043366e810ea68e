// Micro-benchmarks of the text toolkit on realistic pages, each beside the plain library call
// that does the same job without the character rule, so the figures can be read as ratios.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "text/find_text.h"
#include "text/replace_pairs.h"
#include "text/replace_text.h"
#include "text/split_text.h"

namespace cuijian {
namespace {

// A fixed pseudo-random sequence keeps every run on the same bytes.
class Lcg {
 public:
  unsigned Next(unsigned n) {
    state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<unsigned>((state_ >> 33) % n);
  }

 private:
  unsigned long long state_ = 42;
};

// Common characters of code page 936: lead bytes 0xB0-0xD7, second bytes 0xA1-0xF9, plus the
// full-width comma and full stop.
std::string ChineseRun(Lcg& random, std::size_t bytes) {
  std::string run;
  run.reserve(bytes + 2);
  while (run.size() < bytes) {
    if (random.Next(12) == 0) {
      run += random.Next(2) == 0 ? "\xA3\xAC" : "\xA1\xA3";
    } else {
      run += static_cast<char>(0xB0 + random.Next(0xD7 - 0xB0 + 1));
      run += static_cast<char>(0xA1 + random.Next(0xF9 - 0xA1 + 1));
    }
  }
  return run;
}

// Paragraphs of 100-200 bytes, each opened by four non-breaking spaces and closed by two
// line-break tags, as a decoded chapter page holds them.
std::string ChapterBody(Lcg& random, std::size_t bytes) {
  std::string body;
  while (body.size() < bytes) {
    body += "&nbsp;&nbsp;&nbsp;&nbsp;";
    body += ChineseRun(random, 100 + random.Next(101));
    body += "<br/><br/>";
  }
  return body;
}

const std::string& ChapterPage() {
  static const std::string page = [] {
    Lcg random;
    return "<!DOCTYPE html>\r\n<html><head><title>\xB5\xDA"
           "1\xD5\xC2</title></head><body>\r\n"
           "<div id=\"content\"><script>readx();</script>\r\n" +
           ChapterBody(random, 30000) +
           "<script>chaptererror();</script>\r\n</div></body></html>\r\n";
  }();
  return page;
}

const std::string& IndexPage() {
  static const std::string page = [] {
    Lcg random;
    std::string text = "<html><body><h1>\xCA\xE9\xC3\xFB</h1>\r\n<dl>\r\n";
    for (int i = 1; i <= 8000; ++i) {
      const std::string number = std::to_string(i);
      text += "<dd> <a href=\"/43_43821/" + std::to_string(1000000 + i) + ".html\">\xB5\xDA" +
              number + "\xD5\xC2 " + ChineseRun(random, 8 + random.Next(12)) + "</a></dd>\r\n";
    }
    return text + "</dl>\r\n</body></html>\r\n";
  }();
  return page;
}

constexpr std::string_view kMarker = "<script>chaptererror();</script>\r";

// About 10 MB of chapter text, or of Chinese characters only (the longest walk back to a known
// character start), with the marker at the end.
const std::string& LongText(bool chinese_only) {
  static const std::string mixed = [] {
    Lcg random;
    return ChapterBody(random, 10 << 20) + std::string(kMarker);
  }();
  static const std::string plain = [] {
    Lcg random;
    return ChineseRun(random, 10 << 20) + std::string(kMarker);
  }();
  return chinese_only ? plain : mixed;
}

void BM_FindText(benchmark::State& state) {
  const std::string& text = LongText(state.range(0) != 0);
  for (auto _ : state) benchmark::DoNotOptimize(FindText(text, kMarker));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_FindText)->ArgName("chinese_only")->Arg(0)->Arg(1);

void BM_FindText_Memmem(benchmark::State& state) {
  const std::string& text = LongText(state.range(0) != 0);
  for (auto _ : state) {
    benchmark::DoNotOptimize(memmem(text.data(), text.size(), kMarker.data(), kMarker.size()));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_FindText_Memmem)->ArgName("chinese_only")->Arg(0)->Arg(1);

// The chapter page, or about 10 MB of chapter text, which no cache holds.
const std::string& ReplaceInput(bool long_text) {
  return long_text ? LongText(false) : ChapterPage();
}

void BM_ReplacePairs(benchmark::State& state) {
  const std::string& text = ReplaceInput(state.range(0) != 0);
  for (auto _ : state) {
    benchmark::DoNotOptimize(ReplacePairs(text, std::nullopt, std::nullopt, std::nullopt,
                                          {{"<br/>", "\r\n"}, {"&nbsp;", " "}}));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ReplacePairs)->ArgName("ten_mb")->Arg(0)->Arg(1);

// The same replacement as two ReplaceText passes, the way any other pairs are replaced: shows
// what the one-pass scan gains.
void BM_ReplacePairs_PairAfterPair(benchmark::State& state) {
  const std::string& text = ReplaceInput(state.range(0) != 0);
  for (auto _ : state) {
    benchmark::DoNotOptimize(ReplaceText(ReplaceText(text, "<br/>", "\r\n", 1, std::nullopt, false),
                                         "&nbsp;", " ", 1, std::nullopt, false));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ReplacePairs_PairAfterPair)->ArgName("ten_mb")->Arg(0)->Arg(1);

void BM_ReplacePairs_Memcpy(benchmark::State& state) {
  const std::string& text = ReplaceInput(state.range(0) != 0);
  std::string copy(text.size(), '\0');
  for (auto _ : state) {
    std::memcpy(copy.data(), text.data(), text.size());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_ReplacePairs_Memcpy)->ArgName("ten_mb")->Arg(0)->Arg(1);

void BM_SplitText(benchmark::State& state) {
  const std::string& page = IndexPage();
  for (auto _ : state) benchmark::DoNotOptimize(SplitText(page, "<dd> <a "));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_SplitText);

std::vector<std::string> MemmemSplit(std::string_view text, std::string_view delimiter) {
  std::vector<std::string> pieces;
  const char* piece = text.data();
  const char* end = text.data() + text.size();
  while (const void* hit = memmem(piece, static_cast<std::size_t>(end - piece), delimiter.data(),
                                  delimiter.size())) {
    const char* at = static_cast<const char*>(hit);
    pieces.emplace_back(piece, at);
    piece = at + delimiter.size();
  }
  if (piece != end) pieces.emplace_back(piece, end);
  return pieces;
}

void BM_SplitText_Memmem(benchmark::State& state) {
  const std::string& page = IndexPage();
  for (auto _ : state) benchmark::DoNotOptimize(MemmemSplit(page, "<dd> <a "));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * page.size()));
}
BENCHMARK(BM_SplitText_Memmem);

}  // namespace
}  // namespace cuijian

BENCHMARK_MAIN();
