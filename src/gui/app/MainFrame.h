// CMainFrame: the application's main window: the document-window area, the
// three menu and tool-bar sets, the status bar, the recent files, dropped files,
// and the commands that belong to the application.
#pragma once
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include <QMainWindow>
#include <QPointer>
#include <QStringList>

#include "app/RecentFileList.h"
#include "ui/CommandTarget.h"

class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QTimer;
class QToolBar;

namespace zk7 {

class CHelpWindow;
class CHistFrame;
class CLiveView;
class CMdiChild;
class CZK7DocTemplate;
class ISettingsStore;
struct sMenuItem;

class CMainFrame : public QMainWindow {
  Q_OBJECT
public:
  // pStore keeps the recent-file list; the templates are tried in order.
  CMainFrame(ISettingsStore& store, const std::vector<const CZK7DocTemplate*>& aTemplates, QWidget* pParent = nullptr);
  ~CMainFrame() override;

  // Opens a document in its window type (the extension chooses; results files
  // otherwise). A file already open activates its window. nullptr when refused.
  CMdiChild* OpenDocumentFile(const QString& strPath);
  // Whether a window shows the file at strPath.
  bool IsDocumentOpen(const QString& strPath) const { return FindDocumentWindow(strPath) != nullptr; }
  // Closes every window of the file at strPath; false when one stays open.
  bool CloseDocumentFile(const QString& strPath);
  // Opens the copy a live view follows, with Follow on; the window then owns
  // the view (closing it stops the following) and shows its state in the
  // status bar while active. nullptr when the file is refused.
  CHistFrame* OpenLiveDocument(const QString& strPath, CLiveView& live);
  // Adds a new document window, maximised and active.
  void AddDocumentWindow(CMdiChild* pChild);

  QMdiArea* GetMdiArea() const { return m_pMdiArea; }
  CMdiChild* GetActiveChild() const;
  std::vector<CMdiChild*> GetChildren() const;

  // The menu and tool-bar sets in force: IDR_MAINFRAME, IDR_RESULTS or IDR_LOG.
  unsigned GetMenuId() const { return m_nMenuId; }
  unsigned GetToolBarId() const { return m_nToolBarId; }
  QToolBar* GetToolBar() const { return m_pToolBar; }
  // The top-level pop-ups of the menu set in force.
  const std::vector<QMenu*>& GetMenus() const;

  // The state of a command as the menus and buttons show it.
  sCommandState GetCommandState(unsigned nId) const;
  // Carries a command out when it is enabled; false when it is disabled.
  bool ExecuteCommand(unsigned nId);
  // Brings every menu item and tool-bar button up to date with its state.
  void UpdateCommandStates();

  // Commands that later parts of the application carry out (download, send
  // configuration): fnEnabled decides the state, fnRun runs it.
  void SetCommandHandler(unsigned nId, std::function<void()> fnRun, std::function<bool()> fnEnabled = {});

  const std::vector<std::string>& GetRecentFiles() const { return m_recentFiles.GetPaths(); }
  CHelpWindow* GetHelpWindow();

protected:
  void closeEvent(QCloseEvent* pEvent) override;
  void dragEnterEvent(QDragEnterEvent* pEvent) override;
  void dropEvent(QDropEvent* pEvent) override;

private:
  // Menus and bars (MainFrameMenus.cpp).
  void BuildMenus();
  void AddMenuItems(QMenu* pMenu, const std::vector<sMenuItem>& aItems, unsigned nMenuSet);
  QAction* MakeCommandAction(const QString& strText, unsigned nId, QObject* pParent);
  void SwitchMenus(unsigned nMenuId);
  void LoadToolBar(unsigned nToolBarId);
  void AddAccelerators(QWidget* pWidget, unsigned nTableId, Qt::ShortcutContext eContext);
  void RefreshRecentFileItems();
  void RefreshWindowList(QMenu* pMenu);
  void ApplyState(QAction* pAction, const sCommandState& state) const;

  // Commands of the main window itself.
  bool UpdateOwnCommand(unsigned nId, sCommandState& state) const;
  bool RunOwnCommand(unsigned nId);
  void OnFileOpen();
  void OnFileClose();
  void OnOpenRecentFile(int nIndex);
  void OnWindowNew();
  void OnContextHelp();
  void OnSubWindowActivated(QMdiSubWindow* pWindow);
  void ScheduleUpdate();
  void UpdateTitle();
  void UpdateStatusText();
  const CZK7DocTemplate* FindTemplate(const QString& strPath) const;
  CMdiChild* FindDocumentWindow(const QString& strPath) const;

  struct sRecentSlot {
    QMenu* m_pMenu;
    QAction* m_pBefore;          // the items go before this separator
    std::vector<QAction*> m_aItems;
  };
  struct sCommandHandler {
    std::function<void()> m_fnRun;
    std::function<bool()> m_fnEnabled;
  };

  ISettingsStore& m_store;
  std::vector<const CZK7DocTemplate*> m_aTemplates;
  QMdiArea* m_pMdiArea;
  QToolBar* m_pToolBar;
  QLabel* m_pStatusMessage;
  QTimer* m_pUpdateTimer;
  std::map<unsigned, std::vector<QMenu*>> m_aMenus;     // by menu set
  std::vector<QAction*> m_aToolActions;                 // buttons of the tool bar in force
  std::vector<QAction*> m_aKeyActions;                  // accelerators
  std::vector<sRecentSlot> m_aRecentSlots;
  std::map<unsigned, sCommandHandler> m_aHandlers;
  CRecentFileList m_recentFiles;
  CHelpWindow* m_pHelpWindow = nullptr;
  QPointer<CMdiChild> m_pLastActive;
  unsigned m_nMenuId = 0;
  unsigned m_nToolBarId = 0;
};

} // namespace zk7
