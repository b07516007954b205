#include "history/HistPaneMenu.h"

#include <QMenu>

#include "app/MenuLayout.h"
#include "history/HistFrame.h"

namespace zk7 {

namespace {

void AddItems(CHistFrame& frame, QMenu* pMenu, const std::vector<sMenuItem>& aItems) {
  for (const sMenuItem& item : aItems) {
    switch (item.m_eKind) {
      case sMenuItem::SEPARATOR:
        pMenu->addSeparator();
        break;
      case sMenuItem::POPUP:
        AddItems(frame, pMenu->addMenu(QString::fromLatin1(item.m_strText)), item.m_aItems);
        break;
      case sMenuItem::COMMAND: {
        const QString strText = QString::fromLatin1(item.m_strText);
        const qsizetype nTab = strText.indexOf(QLatin1Char('\t'));
        QAction* pAction = pMenu->addAction(nTab < 0 ? strText : strText.left(nTab));
        if (nTab >= 0) pAction->setShortcut(QKeySequence(strText.mid(nTab + 1)));
        // The key is handled by the window's own shortcuts; here it is only shown.
        pAction->setShortcutContext(Qt::WidgetShortcut);
        sCommandState state;
        frame.OnUpdateCommand(item.m_nId, state);
        pAction->setEnabled(state.m_bEnabled);
        pAction->setCheckable(state.m_bChecked);
        pAction->setChecked(state.m_bChecked);
        pAction->setData(item.m_nId);
        const unsigned nId = item.m_nId;
        QObject::connect(pAction, &QAction::triggered, &frame, [pFrame = &frame, nId] { pFrame->OnCommand(nId); });
        break;
      }
      default:
        break;
    }
  }
}

} // namespace

std::unique_ptr<QMenu> BuildPaneMenu(CHistFrame& frame, const std::vector<sMenuItem>& aItems, QWidget* pParent) {
  auto pMenu = std::make_unique<QMenu>(pParent);
  AddItems(frame, pMenu.get(), aItems);
  return pMenu;
}

void ExecPaneMenu(CHistFrame& frame, const std::vector<sMenuItem>& aItems, QWidget* pParent, const QPoint& globalPos) {
  std::unique_ptr<QMenu> pMenu = BuildPaneMenu(frame, aItems, pParent);
  pMenu->exec(globalPos);
}

} // namespace zk7
