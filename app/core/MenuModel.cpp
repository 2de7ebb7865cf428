#include "app/core/MenuModel.h"

namespace {

const MenuItem* Find(const std::vector<MenuItem>& items, int id) {
  for (const MenuItem& item : items) {
    if (item.kind == MenuItem::Kind::Command && item.id == id) return &item;
    if (item.kind == MenuItem::Kind::Popup) {
      if (const MenuItem* found = Find(item.items, id)) return found;
    }
  }
  return nullptr;
}

void Collect(const std::vector<MenuItem>& items, std::vector<int>& out) {
  for (const MenuItem& item : items) {
    if (item.kind == MenuItem::Kind::Command) out.push_back(item.id);
    if (item.kind == MenuItem::Kind::Popup) Collect(item.items, out);
  }
}

}  // namespace

const MenuItem* MenuModel::FindCommand(int id) const { return Find(items, id); }

std::vector<int> MenuModel::CommandIds() const {
  std::vector<int> out;
  Collect(items, out);
  return out;
}
