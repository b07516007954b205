// The main window: document windows, command routing and the application's own commands.
#include "app/MainFrame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMimeData>
#include <QPageSetupDialog>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

#include "app/AboutDlg.h"
#include "app/CommandIds.h"
#include "app/DocTemplate.h"
#include "app/HelpWindow.h"
#include "app/MdiChild.h"
#include "errors/DlgErrCodes.h"
#include "history/HistFrame.h"
#include "settings/SettingsStore.h"
#include "strings/StringTable.h"
#include "ui/AppPrinter.h"
#include "workflows/LiveView.h"

namespace zk7 {

namespace {
// States that no document window signals (such as a focus change inside a
// pane) are picked up this often, as the platform's idle-time update would.
constexpr int IDLE_UPDATE_MS = 500;
} // namespace

CMainFrame::CMainFrame(ISettingsStore& store, const std::vector<const CZK7DocTemplate*>& aTemplates, QWidget* pParent)
    : QMainWindow(pParent), m_store(store), m_aTemplates(aTemplates), m_recentFiles(RECENT_FILE_COUNT) {
  setWindowTitle(QString::fromLatin1(LoadString(IDS_APP_TITLE)));
  setWindowIcon(QIcon(QStringLiteral(":/share/zk7.svg")));
  setAcceptDrops(true);
  m_pMdiArea = new QMdiArea(this);
  m_pMdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  m_pMdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setCentralWidget(m_pMdiArea);

  m_pToolBar = new QToolBar(QStringLiteral("Toolbar"), this);
  m_pToolBar->setObjectName(QStringLiteral("toolBar"));
  m_pToolBar->setAllowedAreas(Qt::TopToolBarArea);
  m_pToolBar->toggleViewAction()->setVisible(false);
  addToolBar(Qt::TopToolBarArea, m_pToolBar);

  m_pStatusMessage = new QLabel(QStringLiteral("Ready"), this);
  statusBar()->addWidget(m_pStatusMessage, 1);

  m_pUpdateTimer = new QTimer(this);
  m_pUpdateTimer->setSingleShot(true);
  connect(m_pUpdateTimer, &QTimer::timeout, this, &CMainFrame::UpdateCommandStates);

  m_recentFiles.Load(m_store);
  BuildMenus();
  SwitchMenus(IDR_MAINFRAME);
  LoadToolBar(IDR_MAINFRAME);
  AddAccelerators(this, IDR_MAINFRAME, Qt::WindowShortcut);

  auto* pIdleTimer = new QTimer(this);
  connect(pIdleTimer, &QTimer::timeout, this, &CMainFrame::UpdateCommandStates);
  pIdleTimer->start(IDLE_UPDATE_MS);
  connect(m_pMdiArea, &QMdiArea::subWindowActivated, this, &CMainFrame::OnSubWindowActivated);
  connect(qApp, &QApplication::focusChanged, this, &CMainFrame::ScheduleUpdate);
  UpdateCommandStates();
}

CMainFrame::~CMainFrame() {
  // The document windows go while this object is whole: their signals reach it.
  disconnect(qApp, nullptr, this, nullptr);
  disconnect(m_pMdiArea, nullptr, this, nullptr);
  for (CMdiChild* pChild : GetChildren()) {
    disconnect(pChild, nullptr, this, nullptr);
    delete pChild;
  }
}

CMdiChild* CMainFrame::GetActiveChild() const {
  // The area's current window stays current while a dialog has the focus.
  return qobject_cast<CMdiChild*>(m_pMdiArea->currentSubWindow());
}

std::vector<CMdiChild*> CMainFrame::GetChildren() const {
  std::vector<CMdiChild*> aChildren;
  for (QMdiSubWindow* pWindow : m_pMdiArea->subWindowList(QMdiArea::CreationOrder))
    if (auto* pChild = qobject_cast<CMdiChild*>(pWindow))
      aChildren.push_back(pChild);
  return aChildren;
}

const CZK7DocTemplate* CMainFrame::FindTemplate(const QString& strPath) const {
  for (const CZK7DocTemplate* pTemplate : m_aTemplates)
    if (pTemplate->MatchesFile(strPath))
      return pTemplate;
  // A file of neither type is tried as a results file, which refuses it if need be.
  return m_aTemplates.empty() ? nullptr : m_aTemplates.front();
}

CMdiChild* CMainFrame::FindDocumentWindow(const QString& strPath) const {
  const QString strCanonical = QFileInfo(strPath).canonicalFilePath();
  if (strCanonical.isEmpty())
    return nullptr;
  for (CMdiChild* pChild : GetChildren())
    if (QFileInfo(pChild->GetPathName()).canonicalFilePath() == strCanonical)
      return pChild;
  return nullptr;
}

bool CMainFrame::CloseDocumentFile(const QString& strPath) {
  const QString strCanonical = QFileInfo(strPath).canonicalFilePath();
  if (strCanonical.isEmpty())
    return true;
  for (CMdiChild* pChild : GetChildren())
    if (QFileInfo(pChild->GetPathName()).canonicalFilePath() == strCanonical && !pChild->close())
      return false;
  ScheduleUpdate();
  return true;
}

CMdiChild* CMainFrame::OpenDocumentFile(const QString& strPath) {
  CMdiChild* pChild = FindDocumentWindow(strPath);
  if (pChild) {
    m_pMdiArea->setActiveSubWindow(pChild);
  } else {
    const CZK7DocTemplate* pTemplate = FindTemplate(strPath);
    pChild = pTemplate ? pTemplate->OpenDocumentFile(strPath, this) : nullptr;
  }
  if (pChild) {
    m_recentFiles.Add(QFile::encodeName(QFileInfo(strPath).absoluteFilePath()).toStdString());
    m_recentFiles.Save(m_store);
    RefreshRecentFileItems();
  }
  ScheduleUpdate();
  return pChild;
}

CHistFrame* CMainFrame::OpenLiveDocument(const QString& strPath, CLiveView& live) {
  CMdiChild* pChild = OpenDocumentFile(strPath);
  auto* pHist = pChild ? qobject_cast<CHistFrame*>(pChild->GetContent()) : nullptr;
  if (!pHist) return nullptr;
  live.setParent(pHist);
  QPointer<CMdiChild> pWindow = pChild;
  auto show = [pWindow, pLive = &live] {
    if (pWindow) pWindow->SetStatusText(QString::fromLatin1(pLive->GetStatusText()));
  };
  connect(&live, &CLiveView::statusChanged, pChild, show);
  show();
  pHist->SetFollowGrowsFromStart(true);
  pHist->SetFollow(true);
  return pHist;
}

void CMainFrame::UpdateStatusText() {
  const CMdiChild* pActive = GetActiveChild();
  const QString strText = pActive ? pActive->GetStatusText() : QString();
  m_pStatusMessage->setText(strText.isEmpty() ? QStringLiteral("Ready") : strText);
}

void CMainFrame::AddDocumentWindow(CMdiChild* pChild) {
  m_pMdiArea->addSubWindow(pChild);
  if (pChild->GetMenuId() == IDR_RESULTS)
    AddAccelerators(pChild, IDR_RESULTS, Qt::WidgetWithChildrenShortcut);
  connect(pChild, &CMdiChild::commandStateChanged, this, &CMainFrame::ScheduleUpdate);
  connect(pChild, &CMdiChild::statusTextChanged, this, &CMainFrame::UpdateStatusText);
  connect(pChild, &CMdiChild::closing, this, [this](CMdiChild* pClosing) {
    if (m_pLastActive == pClosing)
      m_pLastActive = nullptr;
  });
  connect(pChild, &QObject::destroyed, this, [this] {
    UpdateTitle();
    UpdateStatusText();
    ScheduleUpdate();
  });
  // After the MDI area has put its own title back on a restore.
  connect(pChild, &QMdiSubWindow::windowStateChanged, this, &CMainFrame::UpdateTitle, Qt::QueuedConnection);
  pChild->showMaximized();
  m_pMdiArea->setActiveSubWindow(pChild);
  OnSubWindowActivated(pChild);
}

void CMainFrame::OnSubWindowActivated(QMdiSubWindow*) {
  CMdiChild* pChild = GetActiveChild();
  if (pChild != m_pLastActive) {
    if (m_pLastActive)
      m_pLastActive->GetTarget()->OnActivateFrame(false);
    m_pLastActive = pChild;
    if (pChild)
      pChild->GetTarget()->OnActivateFrame(true);
  }
  const unsigned nMenuId = pChild ? pChild->GetMenuId() : unsigned(IDR_MAINFRAME);
  SwitchMenus(nMenuId);
  LoadToolBar(nMenuId);
  UpdateTitle();
  UpdateStatusText();
  ScheduleUpdate();
}

void CMainFrame::UpdateTitle() {
  // Windows of one document are numbered: "demo.zk:1", "demo.zk:2".
  const std::vector<CMdiChild*> aChildren = GetChildren();
  std::map<QString, std::vector<CMdiChild*>> aByDocument;
  for (CMdiChild* pChild : aChildren)
    aByDocument[QString::number(pChild->GetMenuId()) + pChild->GetPathName()].push_back(pChild);
  for (auto& [strKey, aWindows] : aByDocument)
    for (size_t i = 0; i < aWindows.size(); ++i)
      aWindows[i]->setWindowTitle(aWindows.size() == 1 ? aWindows[i]->GetDocumentTitle()
                                                       : QStringLiteral("%1:%2").arg(aWindows[i]->GetDocumentTitle()).arg(i + 1));
  // A maximised document window's title joins the main window's: "ZK7 - [plant.zk]".
  // Set here, not left to the MDI area, which only does it when a window is
  // maximised while the main window is on screen (a file opened from the
  // command line is opened before that).
  const QString strApp = QString::fromLatin1(LoadString(IDS_APP_TITLE));
  const CMdiChild* pActive = GetActiveChild();
  setWindowTitle(pActive && pActive->isMaximized() ? QStringLiteral("%1 - [%2]").arg(strApp, pActive->windowTitle())
                                                   : strApp);
}

void CMainFrame::ScheduleUpdate() { m_pUpdateTimer->start(0); }

sCommandState CMainFrame::GetCommandState(unsigned nId) const {
  sCommandState state;
  if (CMdiChild* pChild = GetActiveChild())
    if (pChild->GetTarget()->OnUpdateCommand(nId, state))
      return state;
  if (UpdateOwnCommand(nId, state))
    return state;
  const auto it = m_aHandlers.find(nId);
  if (it != m_aHandlers.end())
    state.m_bEnabled = !it->second.m_fnEnabled || it->second.m_fnEnabled();
  return state;
}

bool CMainFrame::ExecuteCommand(unsigned nId) {
  if (!GetCommandState(nId).m_bEnabled)
    return false;
  sCommandState state;
  CMdiChild* pChild = GetActiveChild();
  if (pChild && pChild->GetTarget()->OnUpdateCommand(nId, state))
    pChild->GetTarget()->OnCommand(nId);
  else if (!RunOwnCommand(nId))
    if (const auto it = m_aHandlers.find(nId); it != m_aHandlers.end())
      it->second.m_fnRun();
  ScheduleUpdate();
  return true;
}

void CMainFrame::SetCommandHandler(unsigned nId, std::function<void()> fnRun, std::function<bool()> fnEnabled) {
  m_aHandlers[nId] = {std::move(fnRun), std::move(fnEnabled)};
  ScheduleUpdate();
}

bool CMainFrame::UpdateOwnCommand(unsigned nId, sCommandState& state) const {
  const bool bHasChildren = !m_pMdiArea->subWindowList().isEmpty();
  switch (nId) {
    case ID_FILE_NEW:
    case ID_FILE_OPEN:
    case ID_FILE_PRINT_SETUP:
    case ID_APP_EXIT:
    case ID_APP_ABOUT:
    case ID_HELP_FINDER:
    case ID_CONTEXT_HELP:
    case ID_ERROR_CODES:
      state.m_bEnabled = true;
      return true;
    case ID_VIEW_TOOLBAR:
      state.m_bEnabled = true;
      state.m_bChecked = !m_pToolBar->isHidden();
      return true;
    case ID_VIEW_STATUS_BAR:
      state.m_bEnabled = true;
      state.m_bChecked = !statusBar()->isHidden();
      return true;
    case ID_FILE_CLOSE:
    case ID_WINDOW_NEW:
      state.m_bEnabled = GetActiveChild() != nullptr;
      return true;
    case ID_WINDOW_CASCADE:
    case ID_WINDOW_TILE_HORZ:
    case ID_WINDOW_ARRANGE:
      state.m_bEnabled = bHasChildren;
      return true;
    default:
      if (nId >= ID_FILE_MRU_FILE1 && nId < ID_FILE_MRU_FILE1 + RECENT_FILE_COUNT) {
        state.m_bEnabled = nId - ID_FILE_MRU_FILE1 < m_recentFiles.GetPaths().size();
        return true;
      }
      return false;
  }
}

bool CMainFrame::RunOwnCommand(unsigned nId) {
  switch (nId) {
    case ID_FILE_NEW: break;  // a document of either type cannot be created empty
    case ID_FILE_OPEN: OnFileOpen(); break;
    case ID_FILE_CLOSE: OnFileClose(); break;
    case ID_FILE_PRINT_SETUP: {
      QPageSetupDialog dlg(&GetAppPrinter(), this);
      dlg.exec();
      break;
    }
    case ID_APP_EXIT: close(); break;
    case ID_APP_ABOUT: {
      CAboutDlg dlg(this);
      dlg.exec();
      break;
    }
    case ID_HELP_FINDER: GetHelpWindow()->ShowContents(); break;
    case ID_CONTEXT_HELP: OnContextHelp(); break;
    case ID_ERROR_CODES: {
      CDlgErrCodes dlg(this);
      dlg.exec();
      break;
    }
    case ID_VIEW_TOOLBAR: m_pToolBar->setVisible(m_pToolBar->isHidden()); break;
    case ID_VIEW_STATUS_BAR: statusBar()->setVisible(statusBar()->isHidden()); break;
    case ID_WINDOW_NEW: OnWindowNew(); break;
    case ID_WINDOW_CASCADE: m_pMdiArea->cascadeSubWindows(); break;
    case ID_WINDOW_TILE_HORZ: m_pMdiArea->tileSubWindows(); break;
    case ID_WINDOW_ARRANGE: {
      // Minimised windows in one row along the bottom edge.
      int nX = 0;
      for (CMdiChild* pChild : GetChildren())
        if (pChild->isMinimized()) {
          pChild->move(nX, m_pMdiArea->viewport()->height() - pChild->height());
          nX += pChild->width();
        }
      break;
    }
    default:
      if (nId >= ID_FILE_MRU_FILE1 && nId < ID_FILE_MRU_FILE1 + RECENT_FILE_COUNT) {
        OnOpenRecentFile(static_cast<int>(nId - ID_FILE_MRU_FILE1));
        break;
      }
      return false;
  }
  return true;
}

void CMainFrame::OnFileOpen() {
  QStringList aFilters;
  for (const CZK7DocTemplate* pTemplate : m_aTemplates)
    aFilters << pTemplate->GetDocString(CZK7DocTemplate::FILTER_NAME);
  aFilters << QStringLiteral("All Files (*)");
  const QString strPath = QFileDialog::getOpenFileName(this, QStringLiteral("Open"), QString(),
                                                       aFilters.join(QStringLiteral(";;")));
  if (!strPath.isEmpty())
    OpenDocumentFile(strPath);
}

void CMainFrame::OnFileClose() {
  // Closing a document closes every window on it.
  const CMdiChild* pActive = GetActiveChild();
  if (!pActive)
    return;
  const QString strPath = pActive->GetPathName();
  const unsigned nMenuId = pActive->GetMenuId();
  for (CMdiChild* pChild : GetChildren())
    if (pChild->GetMenuId() == nMenuId && pChild->GetPathName() == strPath)
      pChild->close();
}

void CMainFrame::OnOpenRecentFile(int nIndex) {
  if (nIndex >= static_cast<int>(m_recentFiles.GetPaths().size()))
    return;
  const QString strPath = QFile::decodeName(QByteArray::fromStdString(m_recentFiles.GetPaths()[size_t(nIndex)]));
  if (!OpenDocumentFile(strPath)) {
    m_recentFiles.Remove(nIndex);
    m_recentFiles.Save(m_store);
    RefreshRecentFileItems();
  }
}

void CMainFrame::OnWindowNew() {
  CMdiChild* pActive = GetActiveChild();
  if (!pActive)
    return;
  for (const CZK7DocTemplate* pTemplate : m_aTemplates)
    if (pTemplate->GetResourceId() == pActive->GetMenuId()) {
      pTemplate->CreateNewWindow(pActive, this);
      return;
    }
}

void CMainFrame::OnContextHelp() { GetHelpWindow()->ShowContext(m_nMenuId); }

CHelpWindow* CMainFrame::GetHelpWindow() {
  if (!m_pHelpWindow)
    m_pHelpWindow = new CHelpWindow(this);
  return m_pHelpWindow;
}

void CMainFrame::closeEvent(QCloseEvent* pEvent) {
  m_pMdiArea->closeAllSubWindows();
  if (!m_pMdiArea->subWindowList().isEmpty()) {
    pEvent->ignore();
    return;
  }
  m_recentFiles.Save(m_store);
  if (m_pHelpWindow)
    m_pHelpWindow->close();
  pEvent->accept();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* pEvent) {
  const QList<QUrl> aUrls = pEvent->mimeData()->urls();
  if (std::any_of(aUrls.begin(), aUrls.end(), [](const QUrl& url) { return url.isLocalFile(); }))
    pEvent->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* pEvent) {
  pEvent->acceptProposedAction();
  activateWindow();
  for (const QUrl& url : pEvent->mimeData()->urls())
    if (url.isLocalFile())
      OpenDocumentFile(url.toLocalFile());
}

} // namespace zk7
