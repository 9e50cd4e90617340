#ifndef TONVERA_BINODE_H
#define TONVERA_BINODE_H

namespace Tonvera {

// A node of a doubly linked circular list.
template <typename T> struct Binode {
  Binode* prev = nullptr;
  Binode* next = nullptr;
  T value{};
};

} // namespace Tonvera

#endif
