#include "text/one_pass_plan.h"

#include <cstring>
#include <string_view>

namespace cuijian::one_pass {
namespace {

bool IsAsciiLetter(unsigned char b) { return (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z'); }

bool IsAscii(std::string_view text) {
  for (const char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

class Planner {
 public:
  explicit Planner(bool case_sensitive) : case_sensitive_(case_sensitive) {}

  std::optional<Plan> Make(std::span<const ReplacePair> pairs) const {
    std::vector<const ReplacePair*> used;
    for (const ReplacePair& pair : pairs) {
      if (!pair.search.empty()) used.push_back(&pair);
    }
    if (used.empty() || !Allows(used)) return std::nullopt;
    Plan plan;
    for (const ReplacePair* pair : used) {
      plan.rules.push_back(MakeRule(*pair));
      const auto number = static_cast<std::uint8_t>(plan.rules.size());
      const auto first = static_cast<unsigned char>(pair->search[0]);
      if (!AddFirstByte(plan, first, number)) return std::nullopt;
      if (!case_sensitive_ && IsAsciiLetter(first) &&
          !AddFirstByte(plan, static_cast<unsigned char>(first ^ 0x20), number)) {
        return std::nullopt;
      }
    }
    return plan;
  }

 private:
  // A byte's value for comparing: A-Z fold onto a-z unless case counts.
  unsigned char Fold(unsigned char b) const {
    return !case_sensitive_ && b >= 'A' && b <= 'Z' ? static_cast<unsigned char>(b + 0x20) : b;
  }

  bool Holds(std::string_view text, unsigned char b) const {
    for (const char c : text) {
      if (Fold(static_cast<unsigned char>(c)) == Fold(b)) return true;
    }
    return false;
  }

  bool Allows(const std::vector<const ReplacePair*>& used) const {
    for (const ReplacePair* pair : used) {
      if (pair->search.size() > kWord || pair->replacement.size() > pair->search.size() ||
          !IsAscii(pair->search) || !IsAscii(pair->replacement)) {
        return false;
      }
    }
    for (std::size_t a = 0; a < used.size(); ++a) {
      for (std::size_t b = 0; b < used.size(); ++b) {
        if (a == b) continue;
        // Matches of different pairs can neither start together nor overlap.
        if (Holds(used[b]->search, static_cast<unsigned char>(used[a]->search[0]))) return false;
        if (a > b) continue;
        // An earlier pair's replacement must not join or form a later pair's match.
        const std::string_view replacement = used[a]->replacement;
        if (replacement.empty()) return false;
        for (const char c : replacement) {
          if (Holds(used[b]->search, static_cast<unsigned char>(c))) return false;
        }
      }
    }
    return true;
  }

  Rule MakeRule(const ReplacePair& pair) const {
    std::array<unsigned char, kWord> search{}, fold{}, mask{}, replacement{};
    for (std::size_t i = 0; i < pair.search.size(); ++i) {
      const auto b = static_cast<unsigned char>(pair.search[i]);
      const bool folds = !case_sensitive_ && IsAsciiLetter(b);
      search[i] = folds ? static_cast<unsigned char>(b | 0x20) : b;
      fold[i] = folds ? 0x20 : 0;
      mask[i] = 0xFF;
    }
    std::memcpy(replacement.data(), pair.replacement.data(), pair.replacement.size());
    Rule rule;
    rule.search_word = LoadWord(search.data());
    rule.fold_word = LoadWord(fold.data());
    rule.mask_word = LoadWord(mask.data());
    rule.replacement_word = LoadWord(replacement.data());
    rule.search_size = pair.search.size();
    rule.replacement_size = pair.replacement.size();
    return rule;
  }

  static bool AddFirstByte(Plan& plan, unsigned char b, std::uint8_t rule) {
    if (plan.first_byte_count == kMaxFirstBytes) return false;
    plan.rule_of[b] = rule;
    plan.first_bytes[plan.first_byte_count++] = b;
    return true;
  }

  bool case_sensitive_;
};

}  // namespace

std::optional<Plan> MakePlan(std::span<const ReplacePair> pairs, bool case_sensitive) {
  return Planner(case_sensitive).Make(pairs);
}

}  // namespace cuijian::one_pass
