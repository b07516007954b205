// The main window's menus, tool bars and accelerators, built from the layouts
// of the three states.
#include "app/MainFrame.h"

#include <QAction>
#include <QApplication>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QStyle>
#include <QToolBar>

#include "app/AppResources.h"
#include "app/CommandIds.h"
#include "app/MdiChild.h"
#include "app/MenuLayout.h"

namespace zk7 {

namespace {

constexpr const char* COMMAND_ID = "commandId";

// The desktop theme's icon where one fits, else ours.
QIcon ThemeOrOwn(const char* pszTheme, const char* pszOwn) {
  const QString strOwn = QStringLiteral(":/toolbar/icons/%1.svg").arg(QString::fromLatin1(pszOwn));
  return QIcon::fromTheme(QString::fromLatin1(pszTheme), QIcon(strOwn));
}

QIcon ToolIcon(unsigned nId, const QStyle* pStyle) {
  switch (nId) {
    case ID_FILE_OPEN: return QIcon::fromTheme(QStringLiteral("document-open"), pStyle->standardIcon(QStyle::SP_DialogOpenButton));
    case ID_FILE_CLOSE: return QIcon::fromTheme(QStringLiteral("document-close"), pStyle->standardIcon(QStyle::SP_DialogCloseButton));
    case ID_EDIT_COPY: return ThemeOrOwn("edit-copy", "copy");
    case ID_FILE_PRINT: return ThemeOrOwn("document-print", "print");
    case ID_FILE_PRINT_PREVIEW: return ThemeOrOwn("document-print-preview", "print-preview");
    case ID_CURSORS_TOOLS: return ThemeOrOwn("zk7-cursors", "cursors");
    case ID_SCALES_TOOLS: return ThemeOrOwn("zk7-scales", "scales");
    case ID_ADD_FIXED_MARK: return ThemeOrOwn("zk7-fixed-mark", "fixed-mark");
    case ID_ALL_PANES: return ThemeOrOwn("view-split-left-right", "all-panes");
    case ID_GRAPH_PANE_ONLY: return ThemeOrOwn("zk7-graph-pane", "graph-pane");
    case ID_LIST_PANE_ONLY: return ThemeOrOwn("view-list-details", "list-pane");
    case ID_KEY_PANE_ONLY: return ThemeOrOwn("zk7-key-pane", "key-pane");
    case ID_GRID: return ThemeOrOwn("view-grid", "grid");
    case ID_LINK_POINTS: return ThemeOrOwn("zk7-link-points", "link-points");
    case ID_HIST_PREVIOUS: return ThemeOrOwn("go-previous", "previous");
    case ID_HIST_NEXT: return ThemeOrOwn("go-next", "next");
    case ID_ZOOM_BACK: return ThemeOrOwn("zoom-previous", "zoom-back");
    case ID_ZOOM_FORWARD: return ThemeOrOwn("zoom-next", "zoom-forward");
    case ID_FOLLOW:
      return QIcon::fromTheme(QStringLiteral("media-seek-forward"), pStyle->standardIcon(QStyle::SP_MediaSeekForward));
    case ID_APP_ABOUT: return QIcon::fromTheme(QStringLiteral("help-about"), pStyle->standardIcon(QStyle::SP_MessageBoxInformation));
    default: return QIcon();
  }
}

} // namespace

QAction* CMainFrame::MakeCommandAction(const QString& strText, unsigned nId, QObject* pParent) {
  auto* pAction = new QAction(strText, pParent);
  pAction->setProperty(COMMAND_ID, nId);
  // The status bar shows it while the item or button is pointed at.
  pAction->setStatusTip(QString::fromLatin1(GetCommandStatusText(nId)));
  connect(pAction, &QAction::triggered, this, [this, nId] { ExecuteCommand(nId); });
  return pAction;
}

void CMainFrame::AddMenuItems(QMenu* pMenu, const std::vector<sMenuItem>& aItems, unsigned nMenuSet) {
  for (const sMenuItem& item : aItems) {
    switch (item.m_eKind) {
      case sMenuItem::COMMAND: {
        QAction* pAction = MakeCommandAction(QString::fromLatin1(item.m_strText), item.m_nId, pMenu);
        pMenu->addAction(pAction);
        break;
      }
      case sMenuItem::SEPARATOR:
        pMenu->addSeparator();
        break;
      case sMenuItem::POPUP: {
        QMenu* pSub = pMenu->addMenu(QString::fromLatin1(item.m_strText));
        AddMenuItems(pSub, item.m_aItems, nMenuSet);
        break;
      }
      case sMenuItem::RECENT_FILES:
        m_aRecentSlots.push_back({pMenu, pMenu->addSeparator(), {}});
        m_aRecentSlots.back().m_pBefore->setVisible(false);
        break;
      case sMenuItem::WINDOW_LIST:
        connect(pMenu, &QMenu::aboutToShow, this, [this, pMenu] { RefreshWindowList(pMenu); });
        break;
    }
  }
}

void CMainFrame::BuildMenus() {
  for (unsigned nSet : {unsigned(IDR_MAINFRAME), unsigned(IDR_RESULTS), unsigned(IDR_LOG)}) {
    for (const sMenuItem& popup : GetMenuLayout(nSet)) {
      auto* pMenu = new QMenu(QString::fromLatin1(popup.m_strText), this);
      AddMenuItems(pMenu, popup.m_aItems, nSet);
      // Menus show their items' states when they open, as the platform's menus do.
      connect(pMenu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandStates);
      m_aMenus[nSet].push_back(pMenu);
    }
  }
  RefreshRecentFileItems();
}

void CMainFrame::SwitchMenus(unsigned nMenuId) {
  if (nMenuId == m_nMenuId)
    return;
  m_nMenuId = nMenuId;
  menuBar()->clear();
  for (QMenu* pMenu : m_aMenus[nMenuId])
    menuBar()->addMenu(pMenu);
}

void CMainFrame::LoadToolBar(unsigned nToolBarId) {
  if (nToolBarId == m_nToolBarId)
    return;
  m_nToolBarId = nToolBarId;
  m_pToolBar->clear();
  for (QAction* pAction : m_aToolActions)
    delete pAction;
  m_aToolActions.clear();
  InitAppResources();
  bool bFirst = true;
  for (const sToolButton& button : GetToolBarLayout(nToolBarId)) {
    if (button.m_nId == 0) {
      m_pToolBar->addSeparator();
      continue;
    }
    QAction* pAction = MakeCommandAction(QString::fromLatin1(button.m_strText), button.m_nId, m_pToolBar);
    pAction->setIcon(ToolIcon(button.m_nId, style()));
    pAction->setToolTip(QString::fromLatin1(button.m_strText));
    // Every button after the first waits for the state update to enable it.
    pAction->setEnabled(bFirst);
    bFirst = false;
    m_pToolBar->addAction(pAction);
    m_aToolActions.push_back(pAction);
  }
  ScheduleUpdate();
}

void CMainFrame::AddAccelerators(QWidget* pWidget, unsigned nTableId, Qt::ShortcutContext eContext) {
  for (const sAccelerator& accel : GetAcceleratorTable(nTableId)) {
    QAction* pAction = MakeCommandAction(QString(), accel.m_nId, pWidget);
    pAction->setShortcut(QKeySequence(QString::fromLatin1(accel.m_strKey)));
    pAction->setShortcutContext(eContext);
    pWidget->addAction(pAction);
    m_aKeyActions.push_back(pAction);
    // A window's keys die with it.
    connect(pAction, &QObject::destroyed, this, [this, pAction] { std::erase(m_aKeyActions, pAction); });
  }
}

void CMainFrame::RefreshRecentFileItems() {
  const std::vector<std::string>& aPaths = m_recentFiles.GetPaths();
  for (sRecentSlot& slot : m_aRecentSlots) {
    for (QAction* pAction : slot.m_aItems)
      delete pAction;
    slot.m_aItems.clear();
    for (size_t i = 0; i < aPaths.size(); ++i) {
      QAction* pAction =
          MakeCommandAction(QString::fromUtf8(FormatRecentFileItem(static_cast<int>(i), aPaths[i])),
                            ID_FILE_MRU_FILE1 + static_cast<unsigned>(i), slot.m_pMenu);
      slot.m_pMenu->insertAction(slot.m_pBefore, pAction);
      slot.m_aItems.push_back(pAction);
    }
    if (aPaths.empty()) {
      // The empty list shows as one disabled entry.
      QAction* pAction = MakeCommandAction(QStringLiteral("Recent File"), ID_FILE_MRU_FILE1, slot.m_pMenu);
      slot.m_pMenu->insertAction(slot.m_pBefore, pAction);
      slot.m_aItems.push_back(pAction);
    }
    slot.m_pBefore->setVisible(true);
  }
}

void CMainFrame::RefreshWindowList(QMenu* pMenu) {
  for (QAction* pAction : pMenu->actions())
    if (pAction->property("windowList").toBool())
      delete pAction;
  const std::vector<CMdiChild*> aChildren = GetChildren();
  if (aChildren.empty())
    return;
  QAction* pSeparator = pMenu->addSeparator();
  pSeparator->setProperty("windowList", true);
  const CMdiChild* pActive = GetActiveChild();
  for (size_t i = 0; i < aChildren.size(); ++i) {
    CMdiChild* pChild = aChildren[i];
    QString strTitle = pChild->windowTitle();
    strTitle.replace(QLatin1Char('&'), QStringLiteral("&&"));
    QAction* pAction = pMenu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(strTitle));
    pAction->setProperty("windowList", true);
    pAction->setCheckable(true);
    pAction->setChecked(pChild == pActive);
    connect(pAction, &QAction::triggered, this, [this, pChild] {
      if (GetChildren().end() != std::find(GetChildren().begin(), GetChildren().end(), pChild))
        m_pMdiArea->setActiveSubWindow(pChild);
    });
  }
}

void CMainFrame::ApplyState(QAction* pAction, const sCommandState& state) const {
  pAction->setEnabled(state.m_bEnabled);
  if (state.m_bChecked && !pAction->isCheckable())
    pAction->setCheckable(true);
  if (pAction->isCheckable())
    pAction->setChecked(state.m_bChecked);
}

void CMainFrame::UpdateCommandStates() {
  std::map<unsigned, sCommandState> aStates;
  auto stateOf = [&](QAction* pAction) {
    const unsigned nId = pAction->property(COMMAND_ID).toUInt();
    auto it = aStates.find(nId);
    if (it == aStates.end())
      it = aStates.emplace(nId, GetCommandState(nId)).first;
    return it->second;
  };
  for (QMenu* pMenu : m_aMenus[m_nMenuId])
    for (QAction* pAction : pMenu->findChildren<QAction*>())
      if (pAction->property(COMMAND_ID).isValid())
        ApplyState(pAction, stateOf(pAction));
  for (QAction* pAction : m_aToolActions)
    ApplyState(pAction, stateOf(pAction));
}

const std::vector<QMenu*>& CMainFrame::GetMenus() const {
  static const std::vector<QMenu*> s_aNone;
  const auto it = m_aMenus.find(m_nMenuId);
  return it == m_aMenus.end() ? s_aNone : it->second;
}

} // namespace zk7
