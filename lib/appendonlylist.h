#ifndef TONVERA_APPENDONLYLIST_H
#define TONVERA_APPENDONLYLIST_H

// Internal: the entry list shared by the three caches.

#include <atomic>
#include <cstddef>
#include <memory>
#include <utility>

namespace Tonvera {
namespace detail {

// A singly linked list that only grows at its end. Readers walk it without a
// lock while one writer (holding the cache's creation mutex) appends: an
// entry is published with a release store only once it is completely built,
// and entries never move, so a reader sees either the old end or a whole new
// entry. Entries are destroyed in insertion order with the list.
template <typename T> class AppendOnlyList {
  struct Node {
    explicit Node(std::unique_ptr<T> v) : value(std::move(v)) {}
    std::unique_ptr<T> value;
    std::unique_ptr<Node> successor; // ownership; written before publishing
    std::atomic<const Node*> next{nullptr};
  };

public:
  AppendOnlyList() = default;
  AppendOnlyList(const AppendOnlyList&) = delete;
  AppendOnlyList& operator=(const AppendOnlyList&) = delete;

  ~AppendOnlyList() {
    // Iteratively, first entry first, so a long list cannot exhaust the stack.
    std::unique_ptr<Node> node = std::move(first);
    while (node) {
      node->value.reset();
      node = std::move(node->successor);
    }
  }

  // Calls visit(const T&) on each published entry in order until it returns
  // true; returns that entry, or nullptr.
  template <typename Visit> const T* find(Visit visit) const {
    for (const Node* node = head.load(std::memory_order_acquire); node != nullptr;
         node = node->next.load(std::memory_order_acquire)) {
      if (visit(*node->value)) return node->value.get();
    }
    return nullptr;
  }

  // Only one thread at a time may append.
  const T* append(std::unique_ptr<T> value) {
    auto node = std::make_unique<Node>(std::move(value));
    Node* raw = node.get();
    if (last == nullptr) {
      first = std::move(node);
      head.store(raw, std::memory_order_release);
    } else {
      last->successor = std::move(node);
      last->next.store(raw, std::memory_order_release);
    }
    last = raw;
    ++count;
    return raw->value.get();
  }

  std::size_t size() const { return count.load(std::memory_order_acquire); }

private:
  std::unique_ptr<Node> first;
  std::atomic<const Node*> head{nullptr};
  Node* last = nullptr;
  std::atomic<std::size_t> count{0};
};

} // namespace detail
} // namespace Tonvera

#endif
