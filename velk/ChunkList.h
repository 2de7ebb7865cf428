// Typed pointer lists of chunks and their iterators, over the program's pointer list.
#pragma once

#include <cstdint>
#include <memory>

#include "song/PtrChain.h"

/// A pointer list of T; it does not own its elements (the owning chunk deletes them).
template <class T>
class TChunkList : public CPtrChain {
 public:
  virtual void RemoveItem(T* const& item) { Remove(ToValue(item)); }
  virtual void AddItem(T* const& item) { AddTail(ToValue(item)); }
  /// 1-based as CPtrChain::GetAt; null where GetAt gives false.
  virtual T* GetItem(int32_t index) const {
    Value v = 0;
    return GetAt(index, v) ? FromValue(v) : nullptr;
  }

  /// Appends an element whose owner is the caller of DeleteAll (or a TOwnedChunkList).
  void AddOwned(std::unique_ptr<T> item) {
    AddItem(item.get());
    (void)item.release();
  }

  /// Deletes every element and empties the list (for the owner's destructor).
  void DeleteAll() {
    Value v = 0;
    while (GetAt(1, v)) {
      Remove(v);
      delete FromValue(v);
    }
  }

  static Value ToValue(T* item) { return reinterpret_cast<Value>(item); }
  static T* FromValue(Value v) { return reinterpret_cast<T*>(v); }
};

/// A TChunkList whose owner is the list itself: its elements go with it, also when the owner's
/// constructor is unwound half-way.
template <class T>
class TOwnedChunkList : public TChunkList<T> {
 public:
  TOwnedChunkList() = default;
  ~TOwnedChunkList() override { this->DeleteAll(); }
};

/// Walks a TChunkList from its head.
template <class T>
class TChunkListIter : public CPtrChainIter {
 public:
  explicit TChunkListIter(const TChunkList<T>& list) : CPtrChainIter(list) {}

  /// False at the end; otherwise the next element.
  bool Next(T*& out) {
    CPtrChain::Value v = 0;
    if (!CPtrChainIter::Next(v)) return false;
    out = TChunkList<T>::FromValue(v);
    return true;
  }
};
