#include "text/text_between.h"

#include "text/find_text.h"
#include "text/replace_text.h"
#include "text/text_basics.h"

namespace cuijian {
namespace {

// "#引号" in code page 936: markers use it where the text holds a double quote.
constexpr std::string_view kQuotePlaceholder = "#\xD2\xFD\xBA\xC5";

}  // namespace

Text TextBetween(std::string_view text, std::string_view front, std::string_view back,
                 std::optional<int> start, bool ignore_case) {
  const Text front_marker = ReplaceText(front, kQuotePlaceholder, "\"", std::nullopt, std::nullopt,
                                        /*case_sensitive=*/true);
  const Text back_marker = ReplaceText(back, kQuotePlaceholder, "\"", std::nullopt, std::nullopt,
                                       /*case_sensitive=*/true);
  int after_front = FindText(text, front_marker, start.value_or(0), ignore_case);
  if (after_front == -1) return Text();
  after_front += TextLength(front_marker);
  // Searching from the end of the front marker keeps a back marker before or inside it unused.
  const int at_back = FindText(text, back_marker, after_front, ignore_case);
  if (at_back == -1) return Text();
  return MidText(text, after_front, at_back - after_front);
}

}  // namespace cuijian
