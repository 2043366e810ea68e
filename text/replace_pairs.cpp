#include "text/replace_pairs.h"

#include <span>
#include <utility>

#include "text/one_pass_replace.h"
#include "text/replace_text.h"

namespace cuijian {

Text ReplacePairs(std::string_view text, std::optional<int> count, std::optional<int> start,
                  std::optional<bool> case_sensitive, std::initializer_list<ReplacePair> pairs) {
  // 0 and omitted both mean byte 1; any other start, negative ones too, is passed on as given.
  const std::optional<int> from = !start.has_value() || *start == 0 ? 1 : *start;
  const bool exact = case_sensitive.value_or(false);
  // The usual call, every match of a few short tags from the first byte, is done in one pass
  // when that gives the same bytes.
  if (*from <= 1 && (!count.has_value() || *count < 0)) {
    if (std::optional<Text> result =
            ReplaceAllInOnePass(text, std::span(pairs.begin(), pairs.size()), exact)) {
      return std::move(*result);
    }
  }
  // Each pair reads the result of the one before; the input itself is copied only when no pair
  // gets to run.
  Text result;
  std::string_view current = text;
  bool replaced = false;
  for (const ReplacePair& pair : pairs) {
    // An empty search text would leave the text as it is; skip the pass.
    if (pair.search.empty()) continue;
    result = ReplaceText(current, pair.search, pair.replacement, from, count, exact);
    current = result;
    replaced = true;
  }
  return replaced ? result : Text(text);
}

}  // namespace cuijian
