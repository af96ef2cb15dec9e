#include "platform/storage/storage_tree.h"

#include <algorithm>

namespace vok::storage {
namespace {

bool NameLess(const std::shared_ptr<Element>& element, const ElementName& name) {
  return element->name < name;
}

void MarkRemoved(Element* element) {
  element->removed = true;
  for (auto& child : element->children) MarkRemoved(child.get());
}

}  // namespace

std::shared_ptr<Element> Element::NewStorage(ElementName name, int depth) {
  auto element = std::make_shared<Element>();
  element->name = std::move(name);
  element->isStorage = true;
  element->depth = depth;
  return element;
}

std::shared_ptr<Element> Element::NewStream(ElementName name, int depth) {
  auto element = std::make_shared<Element>();
  element->name = std::move(name);
  element->depth = depth;
  return element;
}

std::shared_ptr<Element> Element::Find(const ElementName& name) const {
  auto it = std::lower_bound(children.begin(), children.end(), name, NameLess);
  if (it == children.end() || !(*it)->name.SameAs(name)) return nullptr;
  return *it;
}

bool Element::Insert(std::shared_ptr<Element> child) {
  auto it = std::lower_bound(children.begin(), children.end(), child->name, NameLess);
  if (it != children.end() && (*it)->name.SameAs(child->name)) return false;
  children.insert(it, std::move(child));
  return true;
}

void Element::Remove(const std::shared_ptr<Element>& child) {
  auto it = std::find(children.begin(), children.end(), child);
  if (it == children.end()) return;
  MarkRemoved(child.get());
  children.erase(it);
}

void Element::Rename(const std::shared_ptr<Element>& child, ElementName newName) {
  auto it = std::find(children.begin(), children.end(), child);
  if (it == children.end()) return;
  children.erase(it);
  child->name = std::move(newName);
  Insert(child);
}

bool Element::Contains(const Element* element) const {
  if (element == this) return true;
  return std::any_of(children.begin(), children.end(),
                     [element](const auto& child) { return child->Contains(element); });
}

bool Element::AnyOpen() const {
  if (openCount > 0) return true;
  return std::any_of(children.begin(), children.end(),
                     [](const auto& child) { return child->AnyOpen(); });
}

std::shared_ptr<Element> Element::DeepCopy(int newDepth) const {
  auto copy = std::make_shared<Element>();
  copy->name = name;
  copy->isStorage = isStorage;
  copy->depth = newDepth;
  copy->clsid = clsid;
  copy->stateBits = stateBits;
  copy->ctime = ctime;
  copy->mtime = mtime;
  copy->data = data;
  copy->children.reserve(children.size());
  for (const auto& child : children) copy->children.push_back(child->DeepCopy(newDepth + 1));
  return copy;
}

}  // namespace vok::storage
