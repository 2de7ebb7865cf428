// The program's singly linked list of pointer-sized values, with a forward iterator.
#pragma once

#include <cstdint>

class CPtrChain {
 public:
  /// A pointer or an integer; the list neither owns nor frees it.
  using Value = std::uintptr_t;

  CPtrChain() = default;
  CPtrChain(const CPtrChain&) = delete;
  CPtrChain& operator=(const CPtrChain&) = delete;
  virtual ~CPtrChain();

  /// Removes the first node holding the value; removing the tail node leaves the tail hint null.
  virtual void Remove(Value value);
  virtual void RemoveAll();
  /// 1-based: 1 makes a new head; 0, negative or past the end appends and becomes the tail.
  virtual void InsertAt(int32_t position, Value value);
  virtual void AddTail(Value value);
  /// Index 1..count gives that value, a negative index the last one; 0 or past count gives false.
  virtual bool GetAt(int32_t index, Value& out) const;

  int32_t GetCount() const { return m_count; }

 private:
  friend class CPtrChainIter;
  struct Node {
    Node* next;
    Value value;
  };
  Node* LastNode() const;

  Node* m_head = nullptr;
  Node* m_tail = nullptr;  // a hint: null after the last node was removed
  int32_t m_count = 0;
};

class CPtrChainIter {
 public:
  explicit CPtrChainIter(const CPtrChain& list) : m_list(&list), m_current(list.m_head) {}
  virtual ~CPtrChainIter() = default;

  /// False at the end; otherwise stores the current value and moves on.
  bool Next(CPtrChain::Value& out);
  void Reset() { m_current = m_list->m_head; }

 private:
  const CPtrChain* m_list;
  const CPtrChain::Node* m_current;
};
