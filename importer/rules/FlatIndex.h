#pragma once
// An open-addressing index from hashed keys to the numbers of entries kept
// elsewhere. It holds each entry's hash and number only (8 bytes), the
// caller compares the keys, so a lookup touches one or two cache lines and
// an added entry allocates nothing but the occasional doubling.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace pcb9 {

class TFlatIndex {
 public:
  static constexpr uint32_t kNone = 0xFFFFFFFF;

  // The number of the entry with that hash for which `same(number)` holds;
  // when there is none, `add()` makes the entry and gives its number, which
  // is indexed.
  template <class Same, class Add>
  uint32_t FindOrAdd(uint64_t hash, Same same, Add add) {
    if (2 * (Count_ + 1) > Slots_.size()) Grow();
    const auto h = static_cast<uint32_t>(hash ^ (hash >> 32));
    const size_t mask = Slots_.size() - 1;
    for (size_t i = h & mask;; i = (i + 1) & mask) {
      TSlot& slot = Slots_[i];
      if (slot.Number == kNone) {
        const uint32_t number = add();
        slot = {h, number};
        ++Count_;
        return number;
      }
      if (slot.Hash == h && same(slot.Number)) return slot.Number;
    }
  }

  // Starts loading the cache line a later FindOrAdd with this hash probes
  // first, so that several lookups can wait for memory at once.
  void Prefetch(uint64_t hash) const {
    const auto h = static_cast<uint32_t>(hash ^ (hash >> 32));
    // Written without a test of the vector's bounds, which makes GCC drop
    // the prefetch; an empty index prefetches its null data, which is
    // harmless.
    __builtin_prefetch(Slots_.data() + (h & Mask_));
  }

 private:
  struct TSlot {
    uint32_t Hash = 0;
    uint32_t Number = kNone;
  };

  void Grow() {
    std::vector<TSlot> old(Slots_.empty() ? 16 : 2 * Slots_.size());
    old.swap(Slots_);
    const size_t mask = Mask_ = Slots_.size() - 1;
    // The new places are scattered: ask for them a few entries ahead.
    constexpr size_t kAhead = 16;
    for (size_t n = 0; n < old.size(); ++n) {
      if (n + kAhead < old.size()) __builtin_prefetch(Slots_.data() + (old[n + kAhead].Hash & mask));
      const TSlot& slot = old[n];
      if (slot.Number == kNone) continue;
      size_t i = slot.Hash & mask;
      while (Slots_[i].Number != kNone) i = (i + 1) & mask;
      Slots_[i] = slot;
    }
  }

  std::vector<TSlot> Slots_;
  size_t Mask_ = 0;
  size_t Count_ = 0;
};

// A set of 32-bit numbers without an allocation per number. Handles are
// mostly small and dense, so numbers below kDenseLimit take one bit each in
// a bitmap that grows to the largest of them (at most 2 MB), which a walk in
// handle order reads in order; larger numbers go to an open-addressing
// table.
class TNumberSet {
 public:
  static constexpr uint32_t kDenseLimit = uint32_t{1} << 24;

  // Whether the number was new; it is in the set afterwards.
  bool Insert(uint32_t number) { return number < kDenseLimit ? InsertDense(number) : InsertSparse(number); }

 private:
  bool InsertDense(uint32_t number) {
    const size_t word = number / 64;
    if (word >= Bits_.size()) Bits_.resize(std::bit_ceil(word + 1), 0);
    const uint64_t bit = uint64_t{1} << (number % 64);
    if (Bits_[word] & bit) return false;
    Bits_[word] |= bit;
    return true;
  }

  bool InsertSparse(uint32_t number) {
    if (2 * (Count_ + 1) > Slots_.size()) Grow();
    const uint64_t stored = uint64_t{number} + 1;  // 0 marks an empty slot
    const size_t mask = Slots_.size() - 1;
    for (size_t i = Spread(number) & mask;; i = (i + 1) & mask) {
      if (Slots_[i] == stored) return false;
      if (Slots_[i] == 0) {
        Slots_[i] = stored;
        ++Count_;
        return true;
      }
    }
  }

  static size_t Spread(uint32_t number) {
    return static_cast<size_t>((uint64_t{number} * 0x9E3779B97F4A7C15ull) >> 32);
  }
  void Grow() {
    std::vector<uint64_t> old(Slots_.empty() ? 16 : 2 * Slots_.size(), 0);
    old.swap(Slots_);
    const size_t mask = Slots_.size() - 1;
    for (uint64_t stored : old) {
      if (stored == 0) continue;
      size_t i = Spread(static_cast<uint32_t>(stored - 1)) & mask;
      while (Slots_[i] != 0) i = (i + 1) & mask;
      Slots_[i] = stored;
    }
  }

  std::vector<uint64_t> Bits_;
  std::vector<uint64_t> Slots_;
  size_t Count_ = 0;
};

}  // namespace pcb9
