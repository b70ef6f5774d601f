// The document's flat key set against a reference set, through growth,
// erasures in the middle of probe runs (also where runs wrap round the
// table's end) and the key 0 that marks free slots.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <set>

#include "KeySet.h"

namespace {

TEST(KeySet, FollowsAReferenceSetThroughInsertsAndErasures) {
  for (uint64_t range : {uint64_t{40}, uint64_t{5000}, ~uint64_t{0}}) {  // dense runs, then spread
    std::mt19937_64 random(7);
    morvik::TKeySet set;
    std::set<uint64_t> reference;
    for (int step = 0; step < 40000; ++step) {
      const uint64_t key = range == ~uint64_t{0} ? random() : random() % range;
      if (random() % 3 == 0) {
        ASSERT_EQ(set.Erase(key), reference.erase(key) == 1) << key;
      } else {
        ASSERT_EQ(set.Insert(key), reference.insert(key).second) << key;
      }
      const uint64_t probe = range == ~uint64_t{0} ? random() % 64 : random() % range;
      ASSERT_EQ(set.Contains(probe), reference.count(probe) == 1) << probe;
    }
    for (uint64_t key : reference) EXPECT_TRUE(set.Contains(key)) << key;
    set.Clear();
    for (uint64_t key : reference) EXPECT_FALSE(set.Contains(key)) << key;
  }
}

}  // namespace
