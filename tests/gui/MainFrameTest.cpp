// The main window: its three states with their menus and tool bars, opening
// and refusing documents, recent files, dropped files, help and About.
#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPointer>
#include <QRegularExpression>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTest>
#include <QScrollBar>
#include <QTextBrowser>
#include <QClipboard>
#include <QLineEdit>
#include <QToolBar>

#include <memory>

#include "ModalAnswerer.h"
#include "ResultsFileBuilder.h"
#include "app/AboutDlg.h"
#include "app/CommandIds.h"
#include "app/DocTemplate.h"
#include "app/HelpWindow.h"
#include "app/MainFrame.h"
#include "app/MenuLayout.h"
#include "app/MdiChild.h"
#include "history/HistFrame.h"
#include "history/HistGraph.h"
#include "results/ZK7Doc.h"
#include "samples/SampleWriter.h"
#include "settings/SettingsStore.h"

#include <qcustomplot.h>

using namespace zk7;

namespace {

// The items of a menu as texts, sub-menus as "text>" followed by their items
// indented, separators left out.
QStringList MenuTexts(const QMenu* pMenu, const QString& strIndent = QString()) {
  QStringList a;
  for (QAction* pAction : pMenu->actions()) {
    if (pAction->isSeparator())
      continue;
    if (pAction->menu()) {
      a << strIndent + pAction->text() + QLatin1Char('>');
      a << MenuTexts(pAction->menu(), strIndent + QStringLiteral("  "));
    } else {
      a << strIndent + pAction->text();
    }
  }
  return a;
}

const QMenu* MenuOf(const CMainFrame& frame, const QString& strTitle) {
  for (QAction* pAction : frame.menuBar()->actions())
    if (pAction->text() == strTitle)
      return pAction->menu();
  return nullptr;
}

QAction* ActionOf(const CMainFrame& frame, const QString& strTitle, const QString& strItem) {
  const QMenu* pMenu = MenuOf(frame, strTitle);
  if (!pMenu)
    return nullptr;
  for (QAction* pAction : pMenu->findChildren<QAction*>())
    if (pAction->text() == strItem)
      return pAction;
  return nullptr;
}

// What the menu bar must show for a layout of the core: the same texts as
// MenuTexts gives, the empty recent-file list as its one disabled entry.
QStringList LayoutTexts(const std::vector<sMenuItem>& aItems, const QString& strIndent = QString()) {
  QStringList a;
  for (const sMenuItem& item : aItems) {
    if (item.m_eKind == sMenuItem::COMMAND)
      a << strIndent + QString::fromLatin1(item.m_strText);
    else if (item.m_eKind == sMenuItem::RECENT_FILES)
      a << strIndent + QStringLiteral("Recent File");
    else if (item.m_eKind == sMenuItem::POPUP) {
      a << strIndent + QString::fromLatin1(item.m_strText) + QLatin1Char('>');
      a << LayoutTexts(item.m_aItems, strIndent + QStringLiteral("  "));
    }
  }
  return a;
}

// The whole menu bar, pop-ups as "title>" with their items indented, the
// recent-file entries as the one place they take in the layout.
QStringList MenuBarTexts(const CMainFrame& frame) {
  QStringList a;
  const QRegularExpression recent(QStringLiteral("^  &\\d "));
  for (QAction* pAction : frame.menuBar()->actions()) {
    a << pAction->text() + QLatin1Char('>');
    for (const QString& str : MenuTexts(pAction->menu(), QStringLiteral("  ")))
      if (!recent.match(str).hasMatch())
        a << str;
      else if (a.last() != QStringLiteral("  Recent File"))
        a << QStringLiteral("  Recent File");
  }
  return a;
}

// The tool bar as its buttons' tool tips, "|" for a separator.
QStringList ToolBarItems(const CMainFrame& frame) {
  QStringList a;
  for (QAction* pAction : frame.GetToolBar()->actions())
    a << (pAction->isSeparator() ? QStringLiteral("|") : pAction->toolTip());
  return a;
}

} // namespace

class MainFrameTest : public QObject {
  Q_OBJECT
private slots:
  void init();
  void cleanup();
  void startsWithoutADocumentInState128();
  void resultsFileOpensMaximisedInState129();
  void fileOpenedBeforeTheWindowShows();
  void refusedResultsFileShowsItsMessageAndOpensNoWindow();
  void logFileSwitchesToState130AndBack();
  void aFileAlreadyOpenIsActivatedNotOpenedTwice();
  void newWindowSharesTheDocumentAndCloseClosesBoth();
  void historyFrameCommands();
  void recentFilesAreKeptAndAMissingOneIsRemoved();
  void droppedFilesOpen();
  void helpAndContextHelp();
  void aboutBoxTexts();
  void handlersOfLaterCommands();
  void keysReachTheirCommandsThroughTheFrame();

private:
  std::unique_ptr<CMainFrame> MakeFrame() {
    auto pFrame = std::make_unique<CMainFrame>(*m_pStore, std::vector<const CZK7DocTemplate*>{&m_results, &m_log});
    pFrame->resize(1200, 800);
    pFrame->show();
    return pFrame;
  }
  QString WriteSample(const QString& strName, int nRecords = 500) {
    sSampleSpec spec;
    spec.nChannels = 4;
    spec.nRecords = nRecords;
    const QString strPath = m_pDir->filePath(strName);
    CSampleWriter(spec).WriteFile(strPath.toStdString());
    return strPath;
  }
  QString WriteLog(const QString& strName) {
    const QString strPath = m_pDir->filePath(strName);
    WriteFileText(strPath.toStdString(), "1\t2024-03-15\t10:20:30\tStart\tadmin\t\t\n2\t2024-03-15\t10:21:00\tStop\tadmin\t\t\n");
    return strPath;
  }

  std::unique_ptr<QTemporaryDir> m_pDir;
  std::unique_ptr<ISettingsStore> m_pStore;
  CZK7DocTemplate m_results{IDR_RESULTS};
  CZK7DocTemplate m_log{IDR_LOG};
};

void MainFrameTest::init() {
  m_pDir = std::make_unique<QTemporaryDir>();
  QVERIFY(m_pDir->isValid());
  m_pStore = CreateIniSettingsStore(m_pDir->filePath(QStringLiteral("zk7.ini")).toStdString());
}

void MainFrameTest::cleanup() {
  m_pStore.reset();
  m_pDir.reset();
}

void MainFrameTest::startsWithoutADocumentInState128() {
  auto pFrame = MakeFrame();
  QCOMPARE(pFrame->windowTitle(), QStringLiteral("ZK7"));
  QCOMPARE(pFrame->GetMenuId(), unsigned(IDR_MAINFRAME));
  QVERIFY(pFrame->GetMdiArea()->subWindowList().isEmpty());
  // The built menus are the core's layout, text for text (the layout's own rules are proven in the core).
  QCOMPARE(MenuBarTexts(*pFrame), LayoutTexts(GetMenuLayout(IDR_MAINFRAME)));
  QCOMPARE(ToolBarItems(*pFrame), (QStringList{QStringLiteral("Open"), QStringLiteral("|"), QStringLiteral("About")}));

  pFrame->UpdateCommandStates();
  QVERIFY(ActionOf(*pFrame, QStringLiteral("&File"), QStringLiteral("&Open...\tCtrl+O"))->isEnabled());
  QVERIFY(!ActionOf(*pFrame, QStringLiteral("&File"), QStringLiteral("Recent File"))->isEnabled());
  QVERIFY(ActionOf(*pFrame, QStringLiteral("&View"), QStringLiteral("&Toolbar"))->isChecked());
  QVERIFY(ActionOf(*pFrame, QStringLiteral("&View"), QStringLiteral("&Status Bar"))->isChecked());
  QVERIFY(!pFrame->GetCommandState(ID_FILE_CLOSE).m_bEnabled);
  for (QAction* pAction : pFrame->GetToolBar()->actions())
    QVERIFY(pAction->isSeparator() || pAction->isEnabled());

  // "&Toolbar" hides and shows the bar, and its check mark follows.
  QVERIFY(pFrame->ExecuteCommand(ID_VIEW_TOOLBAR));
  pFrame->UpdateCommandStates();
  QVERIFY(pFrame->GetToolBar()->isHidden());
  QVERIFY(!ActionOf(*pFrame, QStringLiteral("&View"), QStringLiteral("&Toolbar"))->isChecked());
  pFrame->ExecuteCommand(ID_VIEW_TOOLBAR);
  QVERIFY(!pFrame->GetToolBar()->isHidden());
}

void MainFrameTest::resultsFileOpensMaximisedInState129() {
  auto pFrame = MakeFrame();
  const QString strPath = WriteSample(QStringLiteral("plant.zk"));
  CMdiChild* pChild = pFrame->OpenDocumentFile(strPath);
  QVERIFY(pChild);
  QVERIFY(pChild->isMaximized());
  QCOMPARE(pFrame->GetActiveChild(), pChild);
  QCOMPARE(pFrame->GetMenuId(), unsigned(IDR_RESULTS));
  QCOMPARE(pFrame->GetToolBarId(), unsigned(IDR_RESULTS));
  QCOMPARE(pFrame->windowTitle(), QStringLiteral("ZK7 - [plant.zk]"));
  QCOMPARE(MenuBarTexts(*pFrame), LayoutTexts(GetMenuLayout(IDR_RESULTS)));
  QCOMPARE(MenuTexts(MenuOf(*pFrame, QStringLiteral("&?"))).last(), QStringLiteral("&Aboute ZK7..."));
  QCOMPARE(ToolBarItems(*pFrame).size(), 27);
  QCOMPARE(ToolBarItems(*pFrame).mid(0, 4),
           (QStringList{QStringLiteral("Open"), QStringLiteral("Close"), QStringLiteral("|"), QStringLiteral("Copy")}));

  auto* pHist = qobject_cast<CHistFrame*>(pChild->GetContent());
  QVERIFY(pHist);
  QCOMPARE(pHist->GetDocument().GetRecordCount(), 500);
  // Each pane that exists sits in its area.
  if (pHist->GetKeyPane())
    QCOMPARE(pHist->GetKeyPane()->parentWidget()->objectName(), QStringLiteral("keyPaneArea"));
  if (pHist->GetGraphPane())
    QCOMPARE(pHist->GetGraphPane()->parentWidget()->objectName(), QStringLiteral("graphPaneArea"));
  if (pHist->GetListPane())
    QCOMPARE(pHist->GetListPane()->parentWidget()->objectName(), QStringLiteral("listPaneArea"));
  QCOMPARE(pHist->GetOuterSplitter()->count(), 2);
  QCOMPARE(pHist->GetOuterSplitter()->widget(0), static_cast<QWidget*>(pHist->GetInnerSplitter()));
  QCOMPARE(pHist->GetInnerSplitter()->widget(0)->objectName(), QStringLiteral("keyPaneArea"));
  QCOMPARE(pHist->GetInnerSplitter()->widget(1)->objectName(), QStringLiteral("graphPaneArea"));
  QCOMPARE(pHist->GetOuterSplitter()->widget(1)->objectName(), QStringLiteral("listPaneArea"));

  // Frame commands are on; a command nobody carries out stays off.
  pFrame->UpdateCommandStates();
  QVERIFY(ActionOf(*pFrame, QStringLiteral("&View"), QStringLiteral("All Panes"))->isEnabled());
  QVERIFY(ActionOf(*pFrame, QStringLiteral("&View"), QStringLiteral("1 ms"))->isChecked());
  QVERIFY(!pFrame->GetCommandState(ID_HIST_UNUSED_F2).m_bEnabled);
  QVERIFY(!pFrame->GetCommandState(ID_FILE_SAVE).m_bEnabled);
  QVERIFY(ActionOf(*pFrame, QStringLiteral("&File"), QStringLiteral("&Close"))->isEnabled());
  QCOMPARE(pFrame->GetRecentFiles().size(), size_t(1));

  QVERIFY(pFrame->ExecuteCommand(ID_FILE_CLOSE));
  QTRY_VERIFY(pFrame->GetMdiArea()->subWindowList().isEmpty());
  QCOMPARE(pFrame->GetMenuId(), unsigned(IDR_MAINFRAME));
  QCOMPARE(pFrame->windowTitle(), QStringLiteral("ZK7"));
}

void MainFrameTest::fileOpenedBeforeTheWindowShows() {
  // As a file named on the command line: opened first, the main window shown after.
  auto pFrame = std::make_unique<CMainFrame>(*m_pStore, std::vector<const CZK7DocTemplate*>{&m_results, &m_log});
  pFrame->resize(1200, 800);
  CMdiChild* pChild = pFrame->OpenDocumentFile(WriteSample(QStringLiteral("early.zk")));
  QVERIFY(pChild);
  pFrame->show();
  QVERIFY(QTest::qWaitForWindowExposed(pFrame.get()));
  QTRY_COMPARE(pFrame->windowTitle(), QStringLiteral("ZK7 - [early.zk]"));
  // The graph takes the keys when the window opens.
  auto* pHist = qobject_cast<CHistFrame*>(pChild->GetContent());
  QVERIFY(pHist);
  QTRY_VERIFY(pHist->GetHistGraph()->isAncestorOf(pFrame->focusWidget()));
  // Restored, the document's title leaves the main window's.
  pChild->showNormal();
  QTRY_COMPARE(pFrame->windowTitle(), QStringLiteral("ZK7"));
}

void MainFrameTest::refusedResultsFileShowsItsMessageAndOpensNoWindow() {
  auto pFrame = MakeFrame();
  const QString strShort = m_pDir->filePath(QStringLiteral("short.zk"));
  WriteFileBytes(strShort.toStdString(), std::vector<uint8_t>(47, 0));
  CModalAnswerer user;
  user.ThenClick(QStringLiteral("OK"));
  user.ThenClick(QStringLiteral("OK"));
  QVERIFY(!pFrame->OpenDocumentFile(strShort));
  // A file of another type is tried as a results file.
  const QString strText = m_pDir->filePath(QStringLiteral("notes.txt"));
  WriteFileText(strText.toStdString(), std::string(200, 'x'));
  QVERIFY(!pFrame->OpenDocumentFile(strText));
  QCOMPARE(user.Texts(), (QStringList{QStringLiteral("This file is not a valid ZK7 results file"),
                                      QStringLiteral("This file is not a valid ZK7 results file")}));
  QCOMPARE(user.Titles().front(), QStringLiteral("ZK7"));
  QCOMPARE(user.Icons().front(), int(QMessageBox::Warning));
  QVERIFY(pFrame->GetMdiArea()->subWindowList().isEmpty());
  QCOMPARE(pFrame->GetMenuId(), unsigned(IDR_MAINFRAME));
  QVERIFY(pFrame->GetRecentFiles().empty());
}

void MainFrameTest::logFileSwitchesToState130AndBack() {
  auto pFrame = MakeFrame();
  CMdiChild* pLog = pFrame->OpenDocumentFile(WriteLog(QStringLiteral("events.log")));
  QVERIFY(pLog);
  QVERIFY(pLog->isMaximized());
  QCOMPARE(pFrame->GetMenuId(), unsigned(IDR_LOG));
  QCOMPARE(pFrame->GetToolBarId(), unsigned(IDR_LOG));
  QCOMPARE(ToolBarItems(*pFrame), (QStringList{QStringLiteral("Open"), QStringLiteral("Close"), QStringLiteral("|"),
                                               QStringLiteral("About")}));
  QCOMPARE(MenuTexts(MenuOf(*pFrame, QStringLiteral("&File"))).at(5),
           QStringLiteral("&1 ") + QFileInfo(m_pDir->filePath(QStringLiteral("events.log"))).absoluteFilePath());
  QCOMPARE(MenuBarTexts(*pFrame), LayoutTexts(GetMenuLayout(IDR_LOG)));

  // Copy and print wait for a selection; "Select All" gives one.
  pFrame->UpdateCommandStates();
  QAction* pCopy = ActionOf(*pFrame, QStringLiteral("&Edit"), QStringLiteral("Co&py\tCtrl+C"));
  QAction* pPrint = ActionOf(*pFrame, QStringLiteral("&File"), QStringLiteral("&Print selected lines..."));
  QVERIFY(!pCopy->isEnabled());
  QVERIFY(!pPrint->isEnabled());
  QVERIFY(pFrame->ExecuteCommand(ID_EDIT_SELECT_ALL));
  pFrame->UpdateCommandStates();
  QVERIFY(pCopy->isEnabled());
  QVERIFY(pPrint->isEnabled());
  QVERIFY(pFrame->ExecuteCommand(ID_EDIT_COPY));
  QCOMPARE(QApplication::clipboard()->text(),
           QStringLiteral("1\t%1\t10:20:30\tStart\tadmin\t\t\r\n2\t%1\t10:21:00\tStop\tadmin\t\t")
               .arg(QLocale().toString(QDate(2024, 3, 15), QLocale::ShortFormat)));

  pLog->close();
  QTRY_VERIFY(pFrame->GetMdiArea()->subWindowList().isEmpty());
  QCOMPARE(pFrame->GetMenuId(), unsigned(IDR_MAINFRAME));
  QCOMPARE(pFrame->GetToolBarId(), unsigned(IDR_MAINFRAME));
}

void MainFrameTest::aFileAlreadyOpenIsActivatedNotOpenedTwice() {
  auto pFrame = MakeFrame();
  const QString strZk = WriteSample(QStringLiteral("a.zk"));
  CMdiChild* pFirst = pFrame->OpenDocumentFile(strZk);
  CMdiChild* pLog = pFrame->OpenDocumentFile(WriteLog(QStringLiteral("b.log")));
  QCOMPARE(pFrame->GetActiveChild(), pLog);
  QCOMPARE(pFrame->OpenDocumentFile(strZk), pFirst);
  QCOMPARE(pFrame->GetMdiArea()->subWindowList().size(), 2);
  QCOMPARE(pFrame->GetActiveChild(), pFirst);
  QCOMPARE(pFrame->GetMenuId(), unsigned(IDR_RESULTS));
}

void MainFrameTest::newWindowSharesTheDocumentAndCloseClosesBoth() {
  auto pFrame = MakeFrame();
  CMdiChild* pFirst = pFrame->OpenDocumentFile(WriteSample(QStringLiteral("shared.zk")));
  QVERIFY(pFrame->ExecuteCommand(ID_WINDOW_NEW));
  QCOMPARE(pFrame->GetMdiArea()->subWindowList().size(), 2);
  CMdiChild* pSecond = pFrame->GetActiveChild();
  QVERIFY(pSecond != pFirst);
  QCOMPARE(pFirst->windowTitle(), QStringLiteral("shared.zk:1"));
  QCOMPARE(pSecond->windowTitle(), QStringLiteral("shared.zk:2"));
  auto* pHist1 = qobject_cast<CHistFrame*>(pFirst->GetContent());
  auto* pHist2 = qobject_cast<CHistFrame*>(pSecond->GetContent());
  QCOMPARE(&pHist1->GetDocument(), &pHist2->GetDocument());
  // Each window has its own view state.
  pFrame->ExecuteCommand(ID_RESOLUTION_1S);
  QVERIFY(!pHist2->GetViewState().m_bShowFraction);
  QVERIFY(pHist1->GetViewState().m_bShowFraction);
  // The error display format is the document's: both windows are told.
  int nRefreshes = 0;
  connect(pHist1, &CHistFrame::refreshRequested, this, [&] { ++nRefreshes; });
  QVERIFY(pFrame->ExecuteCommand(ID_ERRORS_NUMBER_AND_MEANING));
  QCOMPARE(pHist1->GetDocument().GetErrorDisplayFormat(), CZK7Doc::ERRORS_NUMBER_AND_MEANING);
  QCOMPARE(nRefreshes, 1);
  QVERIFY(pFrame->GetCommandState(ID_ERRORS_NUMBER_AND_MEANING).m_bChecked);
  QVERIFY(!pFrame->GetCommandState(ID_ERRORS_NUMBER_ONLY).m_bChecked);
  pFrame->ExecuteCommand(ID_ERRORS_NUMBER_AND_MEANING);
  QCOMPARE(nRefreshes, 1);  // no change, no redraw

  QVERIFY(pFrame->ExecuteCommand(ID_FILE_CLOSE));
  QTRY_VERIFY(pFrame->GetMdiArea()->subWindowList().isEmpty());
}

void MainFrameTest::historyFrameCommands() {
  auto pFrame = MakeFrame();
  CMdiChild* pChild = pFrame->OpenDocumentFile(WriteSample(QStringLiteral("panes.zk")));
  auto* pHist = qobject_cast<CHistFrame*>(pChild->GetContent());
  QTRY_VERIFY(pHist->GetOuterSplitter()->sizes().at(0) > 0);
  const QList<int> aOuter = pHist->GetOuterSplitter()->sizes();
  const QList<int> aInner = pHist->GetInnerSplitter()->sizes();
  QVERIFY(aOuter.at(1) > 0 && aInner.at(0) > 0 && aInner.at(1) > 0);

  pFrame->ExecuteCommand(ID_LIST_PANE_ONLY);
  QCOMPARE(pHist->GetOuterSplitter()->sizes().at(0), 0);
  pFrame->ExecuteCommand(ID_GRAPH_PANE_ONLY);
  QCOMPARE(pHist->GetOuterSplitter()->sizes().at(1), 0);
  QCOMPARE(pHist->GetInnerSplitter()->sizes().at(0), 0);
  pFrame->ExecuteCommand(ID_KEY_PANE_ONLY);
  QCOMPARE(pHist->GetInnerSplitter()->sizes().at(1), 0);
  // "All Panes" restores the first layout, not a size dragged since.
  pHist->GetOuterSplitter()->setSizes({10, 1000});
  pFrame->ExecuteCommand(ID_ALL_PANES);
  const sHistViewState& state = pHist->GetViewState();
  QVERIFY(state.m_nAllPanesGraphHeight > 10);
  QCOMPARE(pHist->GetOuterSplitter()->sizes().at(0), state.m_nAllPanesGraphHeight);
  QCOMPARE(pHist->GetInnerSplitter()->sizes().at(0), state.m_nAllPanesKeyWidth);
  QVERIFY(pHist->GetOuterSplitter()->sizes().at(1) > 0);
  QVERIFY(pHist->GetInnerSplitter()->sizes().at(1) > 0);

  // A sample of one day shows time only; the resolution commands are exclusive.
  QCOMPARE(pHist->GetViewState().m_nTimeFormat, int(sHistViewState::TIME_FORMAT_TIME));
  pFrame->ExecuteCommand(ID_RESOLUTION_10MS);
  pFrame->UpdateCommandStates();
  QVERIFY(ActionOf(*pFrame, QStringLiteral("&View"), QStringLiteral("10 ms"))->isChecked());
  QVERIFY(!ActionOf(*pFrame, QStringLiteral("&View"), QStringLiteral("1 ms"))->isChecked());
  QCOMPARE(pHist->GetViewState().m_nFractionDigits, 2);
}

void MainFrameTest::recentFilesAreKeptAndAMissingOneIsRemoved() {
  const QString strA = WriteSample(QStringLiteral("first.zk"));
  const QString strB = WriteSample(QStringLiteral("second.zk"));
  {
    auto pFrame = MakeFrame();
    pFrame->OpenDocumentFile(strA);
    pFrame->OpenDocumentFile(strB);
    pFrame->close();
  }
  auto pFrame = MakeFrame();
  QCOMPARE(MenuTexts(MenuOf(*pFrame, QStringLiteral("&File"))).mid(2, 2),
           (QStringList{QStringLiteral("&1 ") + QFileInfo(strB).absoluteFilePath(),
                        QStringLiteral("&2 ") + QFileInfo(strA).absoluteFilePath()}));
  // The second entry reopens its file.
  QVERIFY(pFrame->ExecuteCommand(ID_FILE_MRU_FILE1 + 1));
  QPointer<CMdiChild> pOpened = pFrame->GetActiveChild();
  QCOMPARE(pOpened->GetPathName(), QFileInfo(strA).absoluteFilePath());
  QCOMPARE(QString::fromStdString(pFrame->GetRecentFiles().front()), QFileInfo(strA).absoluteFilePath());
  // The window's panes finish their first display before it closes.
  QCoreApplication::processEvents();
  pOpened->close();
  QTRY_VERIFY(!pOpened);

  // A file gone since: its message, then the entry leaves the list.
  QFile::remove(strB);
  CModalAnswerer user;
  user.ThenClick(QStringLiteral("OK"));
  QVERIFY(pFrame->ExecuteCommand(ID_FILE_MRU_FILE1 + 1));
  QCOMPARE(user.PendingSteps(), 0);
  QVERIFY(!user.Texts().front().isEmpty());
  QCOMPARE(pFrame->GetRecentFiles().size(), size_t(1));
  QVERIFY(!pFrame->GetCommandState(ID_FILE_MRU_FILE1 + 1).m_bEnabled);
  QCOMPARE(QString::fromStdString(m_pStore->ReadText("Recent File List", "File2", "?")), QString());
}

void MainFrameTest::droppedFilesOpen() {
  auto pFrame = MakeFrame();
  const QString strZk = WriteSample(QStringLiteral("dropped.zk"));
  const QString strLog = WriteLog(QStringLiteral("dropped.log"));
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(strZk), QUrl::fromLocalFile(strLog)});
  QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(pFrame.get(), &enter);
  QVERIFY(enter.isAccepted());
  QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(pFrame.get(), &drop);
  QCOMPARE(pFrame->GetMdiArea()->subWindowList().size(), 2);
  QCOMPARE(pFrame->GetMenuId(), unsigned(IDR_LOG));
}

void MainFrameTest::helpAndContextHelp() {
  auto pFrame = MakeFrame();
  QVERIFY(pFrame->ExecuteCommand(ID_HELP_FINDER));
  CHelpWindow* pHelp = pFrame->GetHelpWindow();
  QVERIFY(pHelp->isVisible());
  QCOMPARE(pHelp->GetBrowser()->source(), QUrl(QStringLiteral("qrc:/share/manual/index.html")));
  const QString strManual = pHelp->GetBrowser()->toPlainText();
  for (const char* psz : {"Opening files", "Log files", "zk7-cli", "zk7-sim", "Downloading files", "Sending a configuration"})
    QVERIFY2(strManual.contains(QLatin1String(psz)), psz);

  pFrame->OpenDocumentFile(WriteLog(QStringLiteral("help.log")));
  QVERIFY(pFrame->ExecuteCommand(ID_CONTEXT_HELP));
  QCOMPARE(pHelp->GetBrowser()->source().fragment(), QStringLiteral("logs"));
  // The section exists: the browser scrolled away from the top to reach it.
  QTRY_VERIFY(pHelp->GetBrowser()->verticalScrollBar()->value() > 0);
  pFrame->ExecuteCommand(ID_HELP_FINDER);
  QCOMPARE(pHelp->GetBrowser()->source().fragment(), QString());
}

void MainFrameTest::aboutBoxTexts() {
  auto pFrame = MakeFrame();
  CModalAnswerer user;
  QString strTitle, strProduct, strLegal;
  QStringList aComponents;
  user.Then([&](QWidget* pModal) {
    auto* pAbout = qobject_cast<CAboutDlg*>(pModal);
    QVERIFY(pAbout);
    strTitle = pAbout->windowTitle();
    strProduct = pAbout->GetProductLine();
    strLegal = pAbout->GetLegalNotice();
    aComponents = pAbout->GetComponentLines();
    user.Click(pModal, QStringLiteral("OK"));
  });
  QVERIFY(pFrame->ExecuteCommand(ID_APP_ABOUT));
  QCOMPARE(user.PendingSteps(), 0);
  QCOMPARE(strTitle, QStringLiteral("About ZK7"));
  QCOMPARE(strProduct, QStringLiteral("ZK7 Desktop Version: " ZK7_VERSION));
  QVERIFY(strLegal.startsWith(QStringLiteral("Copyright")));
  QCOMPARE(aComponents, (QStringList{QStringLiteral("QCustomPlot Version: " QCUSTOMPLOT_VERSION_STR),
                                     QStringLiteral("Qt Version: ") + QString::fromLatin1(qVersion())}));
}

void MainFrameTest::handlersOfLaterCommands() {
  auto pFrame = MakeFrame();
  QVERIFY(!pFrame->GetCommandState(ID_DOWNLOAD_FILES).m_bEnabled);
  QVERIFY(!pFrame->ExecuteCommand(ID_DOWNLOAD_FILES));
  int nRuns = 0;
  pFrame->SetCommandHandler(ID_DOWNLOAD_FILES, [&] { ++nRuns; });
  QVERIFY(pFrame->GetCommandState(ID_DOWNLOAD_FILES).m_bEnabled);
  QVERIFY(pFrame->ExecuteCommand(ID_DOWNLOAD_FILES));
  QCOMPARE(nRuns, 1);
  // Keys reach the same commands: Ctrl+N does nothing, yet is handled.
  QVERIFY(pFrame->GetCommandState(ID_FILE_NEW).m_bEnabled);
  QVERIFY(!pFrame->GetCommandState(ID_FILE_SAVE).m_bEnabled);
}

// The accelerator tables are proven in the core; here a key pressed in the
// window reaches the document window's command.
void MainFrameTest::keysReachTheirCommandsThroughTheFrame() {
  auto pFrame = MakeFrame();
  CMdiChild* pChild = pFrame->OpenDocumentFile(WriteSample(QStringLiteral("keys.zk")));
  QVERIFY(pChild);
  auto* pHist = qobject_cast<CHistFrame*>(pChild->GetContent());
  QVERIFY(pHist);
  QApplication::setActiveWindow(pFrame.get());
  QWidget* pGraph = pHist->GetHistGraph();
  pGraph->setFocus();
  // F5: the window is displayed again.
  int nRefreshes = 0;
  connect(pHist, &CHistFrame::refreshRequested, this, [&] { ++nRefreshes; });
  QTest::keyClick(pGraph, Qt::Key_F5);
  QCOMPARE(nRefreshes, 1);
}

QTEST_MAIN(MainFrameTest)
#include "MainFrameTest.moc"
