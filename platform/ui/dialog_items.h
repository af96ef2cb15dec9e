// Dialog-item identifiers for Qt widgets: a control of a dialog or panel carries a numeric id
// (a dynamic property) by which components that only know the window find it, the way the
// design addresses a dialog's controls. Identifier 0 names no item.
#pragma once

#include <QVariant>
#include <QWidget>

namespace vok::ui {

inline constexpr char kDialogItemIdProperty[] = "vokDialogItemId";

inline void SetDialogItemId(QWidget* widget, int id) {
  widget->setProperty(kDialogItemIdProperty, id);
}

// The item's id, or 0 when none was set.
inline int DialogItemId(const QWidget* widget) {
  return widget->property(kDialogItemIdProperty).toInt();
}

// The child of `host` with identifier `id`, direct children first, then nested ones (in
// creation order); null when there is none, when `id` is 0 or `host` is null.
inline QWidget* DialogItem(const QWidget* host, int id) {
  if (!host || id == 0) return nullptr;
  const auto matches = [id](const QWidget* w) { return DialogItemId(w) == id; };
  for (QWidget* child : host->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    if (matches(child)) return child;
  for (QWidget* child : host->findChildren<QWidget*>())
    if (matches(child)) return child;
  return nullptr;
}

}  // namespace vok::ui
