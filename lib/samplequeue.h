#ifndef TONVERA_SAMPLEQUEUE_H
#define TONVERA_SAMPLEQUEUE_H

// Internal: the double-ended queue of samples behind AudioData.

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstring>
#include <memory>
#include <vector>

namespace Tonvera {
namespace detail {

// A double-ended queue of doubles stored in fixed blocks of 4096: constant-time
// indexing, growth and shrinking at either end in time proportional to the
// samples added or removed, and bulk copies that run a block at a time.
//
// Copies share their blocks and a block is copied only when one of its owners
// first writes to it, so copying a long buffer that is then only read costs a
// few hundred reference counts instead of a pass over all its samples. Each
// queue is still used by one thread at a time; queues that share blocks may be
// used on different threads.
class SampleQueue {
public:
  static constexpr std::size_t BLOCK = 4096;

  SampleQueue() = default;
  SampleQueue(const SampleQueue& that) = default;
  SampleQueue& operator=(const SampleQueue& that) {
    if (this != &that) {
      SampleQueue copy(that);
      swap(copy);
    }
    return *this;
  }
  SampleQueue(SampleQueue&& that) noexcept { swap(that); }
  SampleQueue& operator=(SampleQueue&& that) noexcept {
    SampleQueue moved(std::move(that));
    swap(moved);
    return *this;
  }

  std::size_t size() const { return count; }

  double& operator[](std::size_t i) {
    const std::size_t at = start + i;
    own(at / BLOCK);
    return blocks[at / BLOCK].get()[at % BLOCK];
  }
  double operator[](std::size_t i) const {
    const std::size_t at = start + i;
    return blocks[at / BLOCK].get()[at % BLOCK];
  }

  // Makes every block this queue's alone, so that a pass writing many
  // elements can use unsharedAt instead of testing ownership per element.
  void ownAll() {
    for (std::size_t b = 0; b < blocks.size(); ++b) own(b);
  }
  // Element i, for writing after ownAll() and before the queue is next copied.
  double& unsharedAt(std::size_t i) {
    const std::size_t at = start + i;
    return blocks[at / BLOCK].get()[at % BLOCK];
  }

  // Calls visit(pointer, length) for the runs of contiguous storage that make
  // up elements [first, first + n), in order.
  template <typename Visit> void forEachSpan(std::size_t first, std::size_t n, Visit visit) {
    if (n == 0) return;
    for (std::size_t b = (start + first) / BLOCK; b <= (start + first + n - 1) / BLOCK; ++b) own(b);
    visitSpans(first, n, visit);
  }
  template <typename Visit> void forEachSpan(std::size_t first, std::size_t n, Visit visit) const {
    visitSpans(first, n, [&](double* p, std::size_t run) { visit(static_cast<const double*>(p), run); });
  }

  void copyOut(std::size_t first, std::size_t n, double* out) const {
    forEachSpan(first, n, [&](const double* p, std::size_t run) {
      std::memcpy(out, p, run * sizeof(double));
      out += run;
    });
  }

  // Adds n elements after the last one, each set by fill(pointer, length) a
  // run at a time.
  template <typename Fill> void growBack(std::size_t n, Fill fill) {
    if (n == 0) return;
    const std::size_t first = count;
    // A partly used last block is written: it must be this queue's own.
    if ((start + count) % BLOCK != 0) own((start + count) / BLOCK);
    const std::size_t needed = (start + count + n + BLOCK - 1) / BLOCK;
    blocks.reserve(needed);
    while (blocks.size() < needed) blocks.push_back(allocateBlock());
    count += n;
    visitSpans(first, n, fill);
  }

  // Adds n elements before the first one, set by fill like growBack.
  template <typename Fill> void growFront(std::size_t n, Fill fill) {
    if (n == 0) return;
    if (start > 0 && !blocks.empty()) own(0);
    if (n > start) {
      const std::size_t extra = (n - start + BLOCK - 1) / BLOCK;
      std::vector<Block> grown;
      grown.reserve(blocks.size() + extra);
      for (std::size_t i = 0; i < extra; ++i) grown.push_back(allocateBlock());
      for (Block& block : blocks) grown.push_back(std::move(block));
      blocks.swap(grown);
      start += extra * BLOCK;
    }
    start -= n;
    count += n;
    visitSpans(0, n, fill);
  }

  void appendZeros(std::size_t n) {
    growBack(n, [](double* p, std::size_t run) { std::fill(p, p + run, 0.0); });
  }

  void eraseFront(std::size_t n) {
    start += n;
    count -= n;
    const std::size_t emptied = count == 0 ? blocks.size() : start / BLOCK;
    if (emptied > 0) {
      blocks.erase(blocks.begin(), blocks.begin() + static_cast<std::ptrdiff_t>(emptied));
      start -= emptied * BLOCK;
      if (count == 0) start = 0;
    }
  }

  void truncate(std::size_t n) {
    count = n;
    const std::size_t needed = count == 0 ? 0 : (start + count + BLOCK - 1) / BLOCK;
    blocks.resize(needed);
    if (count == 0) start = 0;
  }

  void swap(SampleQueue& that) noexcept {
    blocks.swap(that.blocks);
    std::swap(start, that.start);
    std::swap(count, that.count);
  }

private:
  struct Release {
    void operator()(double* p) const { std::allocator<double>().deallocate(p, BLOCK); }
  };
  using Block = std::shared_ptr<double>;

  // Uninitialised: every element is written before it is read.
  static Block allocateBlock() { return Block(std::allocator<double>().allocate(BLOCK), Release()); }

  // Makes block b this queue's alone before it is written, copying the part
  // of it this queue uses if another queue shares it.
  void own(std::size_t b) {
    if (blocks[b].use_count() == 1) {
      // Pairs with the release of the other owners' references: their last
      // reads of the block happen before this queue writes to it.
      std::atomic_thread_fence(std::memory_order_acquire);
      return;
    }
    Block fresh = allocateBlock();
    const std::size_t from = std::max(start, b * BLOCK);
    const std::size_t to = std::min(start + count, (b + 1) * BLOCK);
    if (from < to)
      std::memcpy(fresh.get() + from % BLOCK, blocks[b].get() + from % BLOCK,
                  (to - from) * sizeof(double));
    blocks[b] = std::move(fresh);
  }

  template <typename Visit> void visitSpans(std::size_t first, std::size_t n, Visit visit) const {
    std::size_t at = start + first;
    while (n > 0) {
      const std::size_t offset = at % BLOCK;
      const std::size_t run = std::min(n, BLOCK - offset);
      visit(blocks[at / BLOCK].get() + offset, run);
      at += run;
      n -= run;
    }
  }

  std::vector<Block> blocks;
  std::size_t start = 0;
  std::size_t count = 0;
};

} // namespace detail
} // namespace Tonvera

#endif
