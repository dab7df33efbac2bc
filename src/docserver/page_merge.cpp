#include "docserver/page_merge.h"

#include <algorithm>
#include <cmath>

namespace docserver {

namespace {

// Layout pages before a position, in fractions of the page it is on.
double LayoutPagesBefore(const std::vector<int>& layout, int length, int pos) {
  auto it = std::upper_bound(layout.begin(), layout.end(), pos);
  auto i = static_cast<std::size_t>(std::max<std::ptrdiff_t>(0, it - layout.begin() - 1));
  int start = layout[i];
  int next = i + 1 < layout.size() ? layout[i + 1] : length;
  double into = next > start ? static_cast<double>(pos - start) / (next - start) : 0.0;
  return static_cast<double>(i) + std::clamp(into, 0.0, 1.0);
}

}  // namespace

std::vector<MergedStart> MergePageStarts(const std::vector<int>& word,
                                         const std::vector<int>& layout, int length) {
  std::vector<MergedStart> out;
  for (std::size_t j = 0; j < word.size(); ++j) {
    int a = word[j];
    int b = j + 1 < word.size() ? word[j + 1] : length;
    out.push_back({a, static_cast<int>(j)});
    if (layout.empty())
      continue;
    double from = LayoutPagesBefore(layout, length, a);
    long missing = std::lround(LayoutPagesBefore(layout, length, b) - from) - 1;
    int last = a;
    for (long t = 1; t <= missing; ++t) {
      double target = from + static_cast<double>(t);
      int best = -1;
      double distance = 0;
      for (int s : layout) {
        if (s <= last || s >= b)
          continue;
        double d = std::abs(LayoutPagesBefore(layout, length, s) - target);
        if (best < 0 || d < distance)
          best = s, distance = d;
      }
      if (best < 0)
        break;
      out.push_back({best, -1});
      last = best;
    }
  }
  return out;
}

}  // namespace docserver
