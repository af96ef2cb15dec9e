// The command-browser part of the engine base: the only part that needs Qt widgets.
#include <QString>
#include <QTreeWidget>
#include <QTreeWidgetItem>

#include "common/engine_base.h"

namespace vok {

// Item data of the nodes (Qt::UserRole): 0 for the group node, 1 for a command.
HRESULT EngineCore::FillTree(HWND hwndTree) {
  auto* tree = qobject_cast<QTreeWidget*>(hwndTree);
  if (!tree) return E_INVALIDARG;
  auto* group = new QTreeWidgetItem(tree);
  group->setText(0, QString::fromStdString(CommandTreeTitle()));
  group->setData(0, Qt::UserRole, 0);
  for (const auto& entry : commands_) {
    auto* child = new QTreeWidgetItem(group);
    child->setText(0, QString::fromStdString(entry.first));
    child->setData(0, Qt::UserRole, 1);
  }
  DecorateCommandTreeGroup(group);
  return S_OK;
}

}  // namespace vok
