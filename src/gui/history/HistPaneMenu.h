// The context menus of the key and the record list: built from their layouts,
// enabled and checked by the window's command states, and carried out by the window.
#pragma once
#include <QPoint>

#include <memory>
#include <vector>

class QMenu;
class QWidget;

namespace zk7 {

class CHistFrame;
struct sMenuItem;

// The menu with each item's state as the frame answers it now.
std::unique_ptr<QMenu> BuildPaneMenu(CHistFrame& frame, const std::vector<sMenuItem>& aItems, QWidget* pParent);
// Builds and opens it at globalPos; a chosen command goes to the frame.
void ExecPaneMenu(CHistFrame& frame, const std::vector<sMenuItem>& aItems, QWidget* pParent, const QPoint& globalPos);

} // namespace zk7
