#pragma once
// A set of 64-bit keys in one open-addressing table (linear probing): no
// allocation per key, and a lookup reads one or two cache lines however
// many keys there are. Erasing shifts the probe run back, so no tombstones
// slow the table down.
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace morvik {

class TKeySet {
 public:
  bool Contains(uint64_t key) const {
    if (key == kEmpty) return HasEmptyKey_;
    if (Slots_.empty()) return false;
    for (size_t i = Home(key);; i = Next(i)) {
      if (Slots_[i] == key) return true;
      if (Slots_[i] == kEmpty) return false;
    }
  }

  // Whether the key was new.
  bool Insert(uint64_t key) {
    if (key == kEmpty) return std::exchange(HasEmptyKey_, true) == false;
    if (2 * (Count_ + 1) > Slots_.size()) Grow();
    for (size_t i = Home(key);; i = Next(i)) {
      if (Slots_[i] == key) return false;
      if (Slots_[i] == kEmpty) {
        Slots_[i] = key;
        ++Count_;
        return true;
      }
    }
  }

  // Whether the key was there.
  bool Erase(uint64_t key) {
    if (key == kEmpty) return std::exchange(HasEmptyKey_, false);
    if (Slots_.empty()) return false;
    size_t hole = Home(key);
    while (Slots_[hole] != key) {
      if (Slots_[hole] == kEmpty) return false;
      hole = Next(hole);
    }
    // Moves back every later key of the run that may sit in the hole.
    for (size_t i = Next(hole); Slots_[i] != kEmpty; i = Next(i)) {
      const size_t home = Home(Slots_[i]);
      const bool reachable = hole <= i ? (home <= hole || home > i) : (home <= hole && home > i);
      if (reachable) {
        Slots_[hole] = Slots_[i];
        hole = i;
      }
    }
    Slots_[hole] = kEmpty;
    --Count_;
    return true;
  }

  void Clear() {
    Slots_.clear();
    Count_ = 0;
    HasEmptyKey_ = false;
  }

 private:
  static constexpr uint64_t kEmpty = 0;

  size_t Home(uint64_t key) const {
    key ^= key >> 33;
    key *= 0xFF51AFD7ED558CCDull;
    key ^= key >> 33;
    return static_cast<size_t>(key) & (Slots_.size() - 1);
  }
  size_t Next(size_t i) const { return (i + 1) & (Slots_.size() - 1); }

  void Grow() {
    std::vector<uint64_t> old(Slots_.empty() ? 16 : 2 * Slots_.size(), kEmpty);
    old.swap(Slots_);
    for (uint64_t key : old) {
      if (key == kEmpty) continue;
      size_t i = Home(key);
      while (Slots_[i] != kEmpty) i = Next(i);
      Slots_[i] = key;
    }
  }

  std::vector<uint64_t> Slots_;
  size_t Count_ = 0;
  bool HasEmptyKey_ = false;  // the key 0 marks free slots, so it is kept here
};

}  // namespace morvik
