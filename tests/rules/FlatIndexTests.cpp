// The flat tables behind the classifier and owner linking: entries stay
// findable through every doubling, whatever their hashes.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "rules/FlatIndex.h"

namespace {

using pcb9::TFlatIndex;
using pcb9::TNumberSet;

TEST(FlatIndex, FindsEveryKeyAfterGrowingEvenWithCollidingHashes) {
  for (uint64_t hashMask : {~uint64_t{0}, uint64_t{0x3}}) {  // good hashes, then 4 values only
    std::vector<std::string> keys;
    TFlatIndex index;
    const auto findOrAdd = [&](const std::string& key) {
      return index.FindOrAdd(
          std::hash<std::string>{}(key) & hashMask, [&](uint32_t n) { return keys[n] == key; },
          [&] {
            keys.push_back(key);
            return static_cast<uint32_t>(keys.size() - 1);
          });
    };
    for (int i = 0; i < 3000; ++i) EXPECT_EQ(findOrAdd("k" + std::to_string(i)), uint32_t(i));
    for (int i = 2999; i >= 0; --i) EXPECT_EQ(findOrAdd("k" + std::to_string(i)), uint32_t(i));
    EXPECT_EQ(keys.size(), 3000u) << hashMask;
  }
}

TEST(NumberSet, EachNumberIsNewOnceIncludingTheExtremes) {
  TNumberSet set;
  constexpr uint32_t kDense = TNumberSet::kDenseLimit;
  std::vector<uint32_t> numbers = {0, 0xFFFFFFFFu, 1, 0x80000000u, kDense - 1, kDense, 63, 64};
  for (uint32_t i = 0; i < 20000; ++i) numbers.push_back(i * 65536u + 7);  // both sides of kDense
  for (uint32_t i = 100; i < 5000; ++i) numbers.push_back(i);              // dense, in order
  for (uint32_t n : numbers) EXPECT_TRUE(set.Insert(n)) << n;
  for (uint32_t n : numbers) EXPECT_FALSE(set.Insert(n)) << n;
}

}  // namespace
