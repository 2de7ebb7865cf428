// A list over CPtrChain that owns its elements and deletes them with itself.
#pragma once

#include <cstdint>
#include <vector>

#include "song/PtrChain.h"

namespace velkgate {

template <class T>
class COwnedList {
 public:
  COwnedList() = default;
  COwnedList(const COwnedList&) = delete;
  COwnedList& operator=(const COwnedList&) = delete;
  ~COwnedList() { DeleteAll(); }

  /// Takes ownership and appends.
  void Add(T* item) { m_chain.AddTail(Key(item)); }
  /// Hands the element back to the caller without deleting it.
  void Remove(T* item) { m_chain.Remove(Key(item)); }
  void Delete(T* item) {
    Remove(item);
    delete item;
  }
  void DeleteAll() {
    for (T* item : Items()) delete item;
    m_chain.RemoveAll();
  }
  int32_t GetCount() const { return m_chain.GetCount(); }
  bool IsEmpty() const { return m_chain.GetCount() == 0; }

  /// The elements in order, as a snapshot (safe to delete from while walking it).
  std::vector<T*> Items() const {
    std::vector<T*> out;
    out.reserve(static_cast<size_t>(m_chain.GetCount()));
    CPtrChainIter it(m_chain);
    CPtrChain::Value v = 0;
    while (it.Next(v)) out.push_back(reinterpret_cast<T*>(v));
    return out;
  }
  /// The first element for which match() is true, or null.
  template <class Match>
  T* Find(Match match) const {
    CPtrChainIter it(m_chain);
    CPtrChain::Value v = 0;
    while (it.Next(v))
      if (match(reinterpret_cast<T*>(v))) return reinterpret_cast<T*>(v);
    return nullptr;
  }

 private:
  static CPtrChain::Value Key(T* item) { return reinterpret_cast<CPtrChain::Value>(item); }

  CPtrChain m_chain;
};

}  // namespace velkgate
