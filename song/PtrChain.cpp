// The program's singly linked list of pointer-sized values.
#include "song/PtrChain.h"

CPtrChain::~CPtrChain() { RemoveAll(); }

CPtrChain::Node* CPtrChain::LastNode() const {
  Node* n = m_head;
  while (n && n->next) n = n->next;
  return n;
}

void CPtrChain::Remove(Value value) {
  Node* prev = nullptr;
  for (Node* n = m_head; n; prev = n, n = n->next) {
    if (n->value != value) continue;
    if (prev) {
      prev->next = n->next;
    } else {
      m_head = n->next;
    }
    if (n == m_tail) m_tail = nullptr;
    delete n;
    --m_count;
    return;
  }
}

void CPtrChain::RemoveAll() {
  Node* n = m_head;
  while (n) {
    Node* next = n->next;
    delete n;
    n = next;
  }
  m_head = m_tail = nullptr;
  m_count = 0;
}

void CPtrChain::AddTail(Value value) {
  Node* node = new Node{nullptr, value};
  Node* last = m_tail ? m_tail : LastNode();
  if (last) {
    last->next = node;
  } else {
    m_head = node;
  }
  m_tail = node;
  ++m_count;
}

void CPtrChain::InsertAt(int32_t position, Value value) {
  if (!m_head) {
    m_head = m_tail = new Node{nullptr, value};
    ++m_count;
    return;
  }
  if (position == 1) {
    m_head = new Node{m_head, value};
    ++m_count;
    return;
  }
  Node* before = nullptr;
  if (position > 1) {
    before = m_head;
    for (int32_t i = 1; before && i < position - 1; ++i) before = before->next;
  }
  if (!before) {
    // Out of range: append behind the last node.
    Node* last = LastNode();
    Node* node = new Node{nullptr, value};
    last->next = node;
    m_tail = node;
  } else {
    Node* node = new Node{before->next, value};
    before->next = node;
    if (!node->next) m_tail = node;
  }
  ++m_count;
}

bool CPtrChain::GetAt(int32_t index, Value& out) const {
  if (!m_head || index > m_count || index == 0) return false;
  if (index < 0) {
    out = LastNode()->value;
    return true;
  }
  Node* n = m_head;
  for (int32_t i = 1; n && i < index; ++i) n = n->next;
  if (!n) return false;
  out = n->value;
  return true;
}

bool CPtrChainIter::Next(CPtrChain::Value& out) {
  if (!m_current) return false;
  out = m_current->value;
  m_current = m_current->next;
  return true;
}
