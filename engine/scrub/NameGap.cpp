#include "engine/scrub/NameGap.h"

#include <algorithm>

namespace {

// What a gap may put after its prefix, in sorted order: plain ASCII that NTFS, exFAT
// and FAT all take in a name, letters in upper case only (they stand for both cases).
// No space and no full stop: Windows drops them from the end of a name.
constexpr std::string_view kGapCharacters = "!#$%&'()+,-0123456789;=@ABCDEFGHIJKLMNOPQRSTUVWXYZ[]^_`{}~";
constexpr int kBelowAll = -1;
constexpr int kAboveAll = 256;

// A character's place in the file systems' order: names are compared upper-cased.
// A byte beyond ASCII sorts after every character of a gap in each code page's
// upper-case table; the scrub has the file system check every name it makes anyway.
int Rank(char c) {
  const auto code = static_cast<unsigned char>(c);
  return code >= 'a' && code <= 'z' ? code - 'a' + 'A' : code;
}

std::size_t SharedPrefix(std::string_view a, std::string_view b) {
  const auto [left, right] =
      std::mismatch(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) { return Rank(x) == Rank(y); });
  return static_cast<std::size_t>(left - a.begin());
}

// The gap's characters ranked strictly between low and high.
std::string Between(int low, int high) {
  std::string found;
  for (const char c : kGapCharacters)
    if (Rank(c) > low && Rank(c) < high) found += c;
  return found;
}

std::optional<TNameGap> Gap(std::string_view prefix, std::string next) {
  if (next.empty()) return std::nullopt;
  return TNameGap{std::string(prefix), std::move(next)};
}

}  // namespace

std::optional<TNameGap> FindNameGap(std::string_view name, const std::optional<std::string>& before,
                                    const std::optional<std::string>& after) {
  const std::size_t shared = after ? SharedPrefix(name, *after) : 0;
  const std::size_t shown = std::max(shared, before ? SharedPrefix(*before, name) : 0);

  // Where the name and the next one part: what both share, then a character between.
  const int low = shared < name.size() ? Rank(name[shared]) : kBelowAll;
  const int high = after && shared < after->size() ? Rank((*after)[shared]) : kAboveAll;
  if (auto gap = Gap(name.substr(0, shared), Between(low, high))) return gap;

  // Further along the name, as far as the name before it shows: a character above the
  // name's own there sorts after it and, like the name, before the next one.
  for (std::size_t at = shared + 1; at <= shown && at < name.size(); ++at)
    if (auto gap = Gap(name.substr(0, at), Between(Rank(name[at]), kAboveAll))) return gap;

  // Further along the next name: a character below its own there sorts before it and,
  // parting from the name where the next one does, after the name.
  if (after)
    for (std::size_t at = shared + 1; at < after->size(); ++at)
      if (auto gap = Gap(std::string_view(*after).substr(0, at), Between(kBelowAll, Rank((*after)[at])))) return gap;
  return std::nullopt;
}

std::string NameInGap(TNeutralNames& names, std::string_view folder, const TNameGap& gap, std::size_t length) {
  std::string plain;
  for (const char c : gap.next)
    if (TNeutralNames::kPlain.find(c) != std::string_view::npos) plain += c;
  std::string name = std::string(folder) + gap.prefix + names.Pick(plain.empty() ? gap.next : plain);
  for (std::size_t i = gap.prefix.size() + 1; i < length; ++i) name += names.Pick(TNeutralNames::kPlain);
  return name;
}
