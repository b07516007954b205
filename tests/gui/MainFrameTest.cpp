// The main window: its three states with their menus and tool bars, opening
// and refusing documents, recent files, dropped files, help, About and keys.

#include <qcustomplot.h>

#include "HistWindowTestSupport.h"
#include "app/AboutDlg.h"
#include "app/DocTemplate.h"
#include "app/HelpWindow.h"
#include "app/MainFrame.h"
#include "app/MdiChild.h"
#include "app/MenuLayout.h"
#include "settings/SettingsStore.h"

using namespace zk7;

namespace {

// A menu's items, sub-menus as "text>" with their items indented, separators left out.
QStringList MenuTexts(const QWidget* pMenu, const QString& strIndent = QString()) {
  QStringList a;
  for (QAction* pAction : pMenu->actions())
    if (pAction->menu()) a << strIndent + pAction->text() + '>' << MenuTexts(pAction->menu(), strIndent + "  ");
    else if (!pAction->isSeparator()) a << strIndent + pAction->text();
  return a;
}

// The menu bar's texts, the recent files as the one "Recent File" they stand for in the layout.
QStringList MenuBarTexts(const CMainFrame& frame) {
  QStringList a;
  for (const QString& str : MenuTexts(frame.menuBar()))
    if (!str.contains(QRegularExpression("^  &\\d "))) a << str;
    else if (a.last() != "  Recent File") a << "  Recent File";
  return a;
}

// What the menu bar must show for a layout of the core.
QStringList LayoutTexts(const std::vector<sMenuItem>& aItems, const QString& strIndent = QString()) {
  QStringList a;
  for (const sMenuItem& item : aItems)
    if (item.m_eKind == sMenuItem::COMMAND) a << strIndent + QString::fromLatin1(item.m_strText);
    else if (item.m_eKind == sMenuItem::RECENT_FILES) a << strIndent + "Recent File";
    else if (item.m_eKind == sMenuItem::POPUP)
      a << strIndent + QString::fromLatin1(item.m_strText) + '>' << LayoutTexts(item.m_aItems, strIndent + "  ");
  return a;
}

const QMenu* MenuOf(const CMainFrame& frame, const QString& strTitle) {
  for (QAction* pAction : frame.menuBar()->actions())
    if (pAction->text() == strTitle) return pAction->menu();
  return nullptr;
}

QAction* ActionOf(const CMainFrame& frame, const QString& strTitle, const QString& strItem) {
  if (const QMenu* pMenu = MenuOf(frame, strTitle))
    for (QAction* pAction : pMenu->findChildren<QAction*>())
      if (pAction->text() == strItem) return pAction;
  qFatal("no item %s", qPrintable(strItem));
}

} // namespace

class MainFrameTest : public QObject {
  Q_OBJECT
  std::unique_ptr<CMainFrame> MakeFrame(bool bShow = true) {
    auto pFrame = std::make_unique<CMainFrame>(*m_pStore, std::vector<const CZK7DocTemplate*>{&m_results, &m_log});
    pFrame->resize(1200, 800);
    if (bShow) pFrame->show();
    return pFrame;
  }
  QString WriteSample(const QString& strName) {
    return QString::fromStdString(zk7::WriteSample(m_pDir->filePath(strName).toStdString(), 4, 500));
  }
  QString WriteLog(const QString& strName) {
    WriteFileText(m_pDir->filePath(strName).toStdString(),
                  "1\t2024-03-15\t10:20:30\tStart\tadmin\t\t\n2\t2024-03-15\t10:21:00\tStop\tadmin\t\t\n");
    return m_pDir->filePath(strName);
  }
  static int Windows(const CMainFrame& frame) { return int(frame.GetMdiArea()->subWindowList().size()); }
  // Each item "menu|text" of the menu bar after the idle pass: "+" enabled or "-" not, then "v" when checked.
  static QString States(CMainFrame& frame, const QStringList& aItems) {
    frame.UpdateCommandStates();
    QStringList a;
    for (const QString& str : aItems) {
      const QAction* p = ActionOf(frame, str.section('|', 0, 0), str.section('|', 1));
      a << QString(p->isEnabled() ? "+" : "-") + (p->isChecked() ? "v" : "");
    }
    return a.join(' ');
  }
  static CHistFrame* Hist(CMdiChild* pChild) { return pChild ? qobject_cast<CHistFrame*>(pChild->GetContent()) : nullptr; }
  // The menu bar is the core's layout of the state, and the tool bar its buttons, each with an icon.
  static void CheckBars(const CMainFrame& frame, unsigned nId) {
    QCOMPARE(std::pair(frame.GetMenuId(), frame.GetToolBarId()), std::pair(nId, nId));
    QCOMPARE(MenuBarTexts(frame), LayoutTexts(GetMenuLayout(nId)));
    QStringList aShown, aLaidOut;
    for (QAction* p : frame.GetToolBar()->actions()) {
      aShown << (p->isSeparator() ? "|" : p->toolTip());
      QVERIFY2(p->isSeparator() || !p->icon().pixmap(16, 16).isNull(), qPrintable(p->toolTip()));
    }
    for (const sToolButton& b : GetToolBarLayout(nId)) aLaidOut << (b.m_nId ? QString::fromLatin1(b.m_strText) : "|");
    QCOMPARE(aShown, aLaidOut);
  }

  std::unique_ptr<QTemporaryDir> m_pDir;
  std::unique_ptr<ISettingsStore> m_pStore;
  CZK7DocTemplate m_results{IDR_RESULTS};
  CZK7DocTemplate m_log{IDR_LOG};

private slots:
  void init() {
    m_pDir = std::make_unique<QTemporaryDir>();
    m_pStore = CreateIniSettingsStore(m_pDir->filePath("zk7.ini").toStdString());
  }

  void cleanup() {
    m_pStore.reset();
    m_pDir.reset();
  }

  void startsWithoutADocumentInState128() {
    auto pFrame = MakeFrame();
    QCOMPARE(pFrame->windowTitle() + "|" + QString::number(Windows(*pFrame)), QString("ZK7|0"));
    CheckBars(*pFrame, IDR_MAINFRAME);
    QCOMPARE(States(*pFrame, {"&File|&Open...\tCtrl+O", "&File|Recent File", "&View|&Status Bar", "&View|&Toolbar"}),
             QString("+ - +v +v"));
    QVERIFY(!pFrame->GetCommandState(ID_FILE_CLOSE).m_bEnabled);
    for (QAction* pAction : pFrame->GetToolBar()->actions()) QVERIFY(pAction->isSeparator() || pAction->isEnabled());
    // "&Toolbar" hides and shows the bar, and its check mark follows.
    QVERIFY(pFrame->ExecuteCommand(ID_VIEW_TOOLBAR) && pFrame->GetToolBar()->isHidden());
    QCOMPARE(States(*pFrame, {"&View|&Toolbar"}), QString("+"));
    pFrame->ExecuteCommand(ID_VIEW_TOOLBAR);
    QVERIFY(!pFrame->GetToolBar()->isHidden());
  }

  void resultsFileOpensMaximisedInState129() {
    auto pFrame = MakeFrame();
    CMdiChild* pChild = pFrame->OpenDocumentFile(WriteSample("plant.zk"));
    QVERIFY(pChild && pChild->isMaximized() && pFrame->GetActiveChild() == pChild);
    QCOMPARE(pFrame->windowTitle(), QString("ZK7 - [plant.zk]"));
    CheckBars(*pFrame, IDR_RESULTS);
    CHistFrame* pHist = Hist(pChild);
    // Key and graph side by side above the list.
    QCOMPARE(pHist->GetOuterSplitter()->widget(0), static_cast<QWidget*>(pHist->GetInnerSplitter()));
    QVERIFY(pHist->GetOuterSplitter()->widget(1)->isAncestorOf(pHist->GetListPane()) &&
            pHist->GetInnerSplitter()->widget(0)->isAncestorOf(pHist->GetKeyPane()) &&
            pHist->GetInnerSplitter()->widget(1)->isAncestorOf(pHist->GetGraphPane()));
    // Frame commands are on; a command nobody carries out stays off.
    QCOMPARE(States(*pFrame, {"&View|All Panes", "&File|&Close"}), QString("+ +"));
    QVERIFY(!pFrame->GetCommandState(ID_HIST_UNUSED_F2).m_bEnabled && !pFrame->GetCommandState(ID_FILE_SAVE).m_bEnabled);
    QVERIFY(pFrame->ExecuteCommand(ID_FILE_CLOSE));
    QTRY_COMPARE(Windows(*pFrame), 0);
    QCOMPARE(pFrame->windowTitle() + "|" + QString::number(pFrame->GetMenuId()), QString("ZK7|%1").arg(IDR_MAINFRAME));
  }

  void fileOpenedBeforeTheWindowShows() {
    // As a file named on the command line: opened first, the main window shown after.
    auto pFrame = MakeFrame(false);
    CMdiChild* pChild = pFrame->OpenDocumentFile(WriteSample("early.zk"));
    QVERIFY(Hist(pChild));
    pFrame->show();
    QVERIFY(QTest::qWaitForWindowExposed(pFrame.get()));
    QTRY_COMPARE(pFrame->windowTitle(), QString("ZK7 - [early.zk]"));
    // The graph takes the keys when the window opens.
    QTRY_VERIFY(Hist(pChild)->GetHistGraph()->isAncestorOf(pFrame->focusWidget()));
    // Restored, the document's title leaves the main window's.
    pChild->showNormal();
    QTRY_COMPARE(pFrame->windowTitle(), QString("ZK7"));
  }

  void refusedResultsFileOpensNoWindowDroppedFilesOpen() {
    auto pFrame = MakeFrame();
    const QString strShort = m_pDir->filePath("short.zk"), strText = m_pDir->filePath("notes.txt");
    WriteFileBytes(strShort.toStdString(), std::vector<uint8_t>(47, 0));
    WriteFileText(strText.toStdString(), std::string(200, 'x'));  // another type is tried as a results file
    CModalAnswerer user;
    for (int i = 0; i < 2; ++i) user.ThenMessage("This file is not a valid ZK7 results file");
    QVERIFY(!pFrame->OpenDocumentFile(strShort) && !pFrame->OpenDocumentFile(strText));
    QVERIFY(user.Titles().front() == "ZK7" && user.Icons().front() == QMessageBox::Warning);
    QVERIFY(Windows(*pFrame) == 0 && pFrame->GetMenuId() == IDR_MAINFRAME && pFrame->GetRecentFiles().empty());
    // Dropped files open.
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(WriteSample("dropped.zk")), QUrl::fromLocalFile(WriteLog("dropped.log"))});
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(pFrame.get(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(pFrame.get(), &drop);
    QVERIFY(Windows(*pFrame) == 2 && pFrame->GetMenuId() == IDR_LOG);
  }

  void logFileSwitchesToState130AndBack() {
    auto pFrame = MakeFrame();
    CMdiChild* pLog = pFrame->OpenDocumentFile(WriteLog("events.log"));
    QVERIFY(pLog && pLog->isMaximized());
    CheckBars(*pFrame, IDR_LOG);
    // Copy and print wait for a selection; "Select All" gives one.
    const QStringList aCopyPrint = {"&Edit|Co&py\tCtrl+C", "&File|&Print selected lines..."};
    QCOMPARE(States(*pFrame, aCopyPrint), QString("- -"));
    QVERIFY(pFrame->ExecuteCommand(ID_EDIT_SELECT_ALL));
    QCOMPARE(States(*pFrame, aCopyPrint), QString("+ +"));
    QVERIFY(pFrame->ExecuteCommand(ID_EDIT_COPY));
    QCOMPARE(QApplication::clipboard()->text(), QString("1\t%1\t10:20:30\tStart\tadmin\t\t\r\n2\t%1\t10:21:00\tStop\tadmin\t\t")
                                                    .arg(QLocale().toString(QDate(2024, 3, 15), QLocale::ShortFormat)));
    pLog->close();
    QTRY_COMPARE(Windows(*pFrame), 0);
    CheckBars(*pFrame, IDR_MAINFRAME);
  }

  // A file already open is activated, not opened twice; a new window shares the
  // document, and Close closes both.
  void aFileOpensOnceAndNewWindowSharesTheDocument() {
    auto pFrame = MakeFrame();
    const QString strZk = WriteSample("shared.zk");
    CMdiChild* pFirst = pFrame->OpenDocumentFile(strZk);
    CMdiChild* pLog = pFrame->OpenDocumentFile(WriteLog("b.log"));
    QCOMPARE(pFrame->GetActiveChild(), pLog);
    QCOMPARE(pFrame->OpenDocumentFile(strZk), pFirst);
    QVERIFY(Windows(*pFrame) == 2 && pFrame->GetActiveChild() == pFirst && pFrame->GetMenuId() == IDR_RESULTS);
    pLog->close();
    QTRY_COMPARE(Windows(*pFrame), 1);
    QVERIFY(pFrame->ExecuteCommand(ID_WINDOW_NEW));
    CMdiChild* pSecond = pFrame->GetActiveChild();
    QVERIFY(pSecond != pFirst && Windows(*pFrame) == 2);
    QCOMPARE(pFirst->windowTitle() + "|" + pSecond->windowTitle(), QString("shared.zk:1|shared.zk:2"));
    CHistFrame *pHist1 = Hist(pFirst), *pHist2 = Hist(pSecond);
    QCOMPARE(&pHist1->GetDocument(), &pHist2->GetDocument());
    // Each window has its own view state.
    pFrame->ExecuteCommand(ID_RESOLUTION_1S);
    QVERIFY(!pHist2->GetViewState().m_bShowFraction && pHist1->GetViewState().m_bShowFraction);
    // The error display format is the document's: both windows are told, once per change.
    int nRefreshes = 0;
    connect(pHist1, &CHistFrame::refreshRequested, this, [&] { ++nRefreshes; });
    QVERIFY(pFrame->ExecuteCommand(ID_ERRORS_NUMBER_AND_MEANING));
    pFrame->ExecuteCommand(ID_ERRORS_NUMBER_AND_MEANING);
    QVERIFY(pHist1->GetDocument().GetErrorDisplayFormat() == CZK7Doc::ERRORS_NUMBER_AND_MEANING && nRefreshes == 1);
    QVERIFY(pFrame->GetCommandState(ID_ERRORS_NUMBER_AND_MEANING).m_bChecked &&
            !pFrame->GetCommandState(ID_ERRORS_NUMBER_ONLY).m_bChecked);
    QVERIFY(pFrame->ExecuteCommand(ID_FILE_CLOSE));
    QTRY_COMPARE(Windows(*pFrame), 0);
  }

  void paneAndResolutionCommands() {
    auto pFrame = MakeFrame();
    CHistFrame* pHist = Hist(pFrame->OpenDocumentFile(WriteSample("panes.zk")));
    QSplitter *pOuter = pHist->GetOuterSplitter(), *pInner = pHist->GetInnerSplitter();
    // Which areas are open: outer top, outer bottom, inner left, inner right (when the top is).
    auto open = [&] {
      const bool bTop = pOuter->sizes().at(0) > 0;
      return QString("%1%2%3%4").arg(bTop).arg(pOuter->sizes().at(1) > 0).arg(bTop && pInner->sizes().at(0) > 0)
          .arg(bTop && pInner->sizes().at(1) > 0);
    };
    QTRY_COMPARE(open(), QString("1111"));
    // Each command closes the areas it leaves out.
    for (const auto& [nId, pszOpen] :
         {std::pair(ID_LIST_PANE_ONLY, "0100"), std::pair(ID_GRAPH_PANE_ONLY, "1001"), std::pair(ID_KEY_PANE_ONLY, "1010")}) {
      pFrame->ExecuteCommand(nId);
      QCOMPARE(open(), QString(pszOpen));
    }
    // "All Panes" restores the first layout, not a size dragged since.
    pOuter->setSizes({10, 1000});
    pFrame->ExecuteCommand(ID_ALL_PANES);
    const sHistViewState& state = pHist->GetViewState();
    QVERIFY(state.m_nAllPanesGraphHeight > 10);
    QCOMPARE(open(), QString("1111"));
    QCOMPARE(std::pair(pOuter->sizes().at(0), pInner->sizes().at(0)), std::pair(state.m_nAllPanesGraphHeight, state.m_nAllPanesKeyWidth));
    // The resolution commands are exclusive.
    QCOMPARE(States(*pFrame, {"&View|1 ms", "&View|10 ms"}), QString("+v +"));
    pFrame->ExecuteCommand(ID_RESOLUTION_10MS);
    QCOMPARE(States(*pFrame, {"&View|1 ms", "&View|10 ms"}), QString("+ +v"));
    QCOMPARE(state.m_nFractionDigits, 2);
  }

  void recentFilesAreKeptAndAMissingOneIsRemoved() {
    const QString strA = WriteSample("first.zk"), strB = WriteSample("second.zk");
    {
      auto pFrame = MakeFrame();
      pFrame->OpenDocumentFile(strA);
      pFrame->OpenDocumentFile(strB);
      pFrame->close();
    }
    auto pFrame = MakeFrame();
    QCOMPARE(MenuTexts(MenuOf(*pFrame, "&File")).mid(2, 2),
             QStringList({"&1 " + QFileInfo(strB).absoluteFilePath(), "&2 " + QFileInfo(strA).absoluteFilePath()}));
    // The second entry reopens its file, which goes first in the list.
    QVERIFY(pFrame->ExecuteCommand(ID_FILE_MRU_FILE1 + 1));
    QPointer<CMdiChild> pOpened = pFrame->GetActiveChild();
    QCOMPARE(pOpened->GetPathName() + "|" + QString::fromStdString(pFrame->GetRecentFiles().front()),
             QFileInfo(strA).absoluteFilePath() + "|" + QFileInfo(strA).absoluteFilePath());
    QCoreApplication::processEvents();  // the panes finish their first display before the window closes
    pOpened->close();
    QTRY_VERIFY(!pOpened);
    // A file gone since: its message, then the entry leaves the list and the store.
    QFile::remove(strB);
    CModalAnswerer user;
    user.ThenClick("OK");
    QVERIFY(pFrame->ExecuteCommand(ID_FILE_MRU_FILE1 + 1) && !user.Texts().value(0).isEmpty());
    QVERIFY(pFrame->GetRecentFiles().size() == 1 && !pFrame->GetCommandState(ID_FILE_MRU_FILE1 + 1).m_bEnabled);
    QCOMPARE(QString::fromStdString(m_pStore->ReadText("Recent File List", "File2", "?")), QString());
  }

  void helpAboutAndLaterCommands() {
    auto pFrame = MakeFrame();
    QVERIFY(pFrame->ExecuteCommand(ID_HELP_FINDER));
    QTextBrowser* pBrowser = pFrame->GetHelpWindow()->GetBrowser();
    QVERIFY(pFrame->GetHelpWindow()->isVisible() && pBrowser->source() == QUrl("qrc:/share/manual/index.html"));
    for (const char* psz : {"Opening files", "Log files", "zk7-cli", "zk7-sim", "Downloading files", "Sending a configuration",
                            "Ctrl+wheel", "Ctrl+drag", "Shift+drag", "Alt+Left", "Zoom Forward", "Tooltips"})
      QVERIFY2(pBrowser->toPlainText().contains(QLatin1String(psz)), psz);
    // The graph's screenshot is bundled beside the page and small.
    const QImage image = pBrowser->document()->resource(QTextDocument::ImageResource, QUrl("history-window.png")).value<QImage>();
    QVERIFY(!image.isNull() && image.width() >= 600 && QFile(":/share/manual/history-window.png").size() < 200 * 1024);
    // Context help goes to the active window's section, which exists: the browser scrolled to it.
    pFrame->OpenDocumentFile(WriteLog("help.log"));
    QVERIFY(pFrame->ExecuteCommand(ID_CONTEXT_HELP));
    QCOMPARE(pBrowser->source().fragment(), QString("logs"));
    QTRY_VERIFY(pBrowser->verticalScrollBar()->value() > 0);
    pFrame->ExecuteCommand(ID_HELP_FINDER);
    QCOMPARE(pBrowser->source().fragment(), QString());

    CModalAnswerer user;
    QStringList aAbout;
    user.Then([&](QWidget* pModal) {
      if (auto* pAbout = qobject_cast<CAboutDlg*>(pModal))
        aAbout << pAbout->windowTitle() << pAbout->GetProductLine() << pAbout->GetLegalNotice().left(9)
               << pAbout->GetComponentLines();
      user.Click(pModal, "OK");
    });
    QVERIFY(pFrame->ExecuteCommand(ID_APP_ABOUT));
    QCOMPARE(aAbout, QStringList({"About ZK7", "ZK7 Desktop Version: " ZK7_VERSION, "Copyright",
                                  "QCustomPlot Version: " QCUSTOMPLOT_VERSION_STR, "Qt Version: " + QString(qVersion())}));

    // A command of a later part is off until its handler is set; Ctrl+N is handled, doing nothing.
    QVERIFY(!pFrame->GetCommandState(ID_DOWNLOAD_FILES).m_bEnabled && !pFrame->ExecuteCommand(ID_DOWNLOAD_FILES));
    int nRuns = 0;
    pFrame->SetCommandHandler(ID_DOWNLOAD_FILES, [&] { ++nRuns; });
    QVERIFY(pFrame->GetCommandState(ID_DOWNLOAD_FILES).m_bEnabled && pFrame->ExecuteCommand(ID_DOWNLOAD_FILES) && nRuns == 1);
    QVERIFY(pFrame->GetCommandState(ID_FILE_NEW).m_bEnabled);
  }

  // The accelerator tables are proven in the core; here keys pressed in the
  // graph reach the document window's and the main window's commands, also after
  // long work whose wait dialog took the activation for a while.
  void keysReachTheirCommandsThroughTheFrame() {
    auto pFrame = MakeFrame();
    CHistFrame* pHist = Hist(pFrame->OpenDocumentFile(WriteSample("keys.zk")));
    QApplication::setActiveWindow(pFrame.get());
    CGraphControl* pGraph = pHist->GetHistGraph()->GetControl();
    QTRY_VERIFY(!pHist->GetHistGraph()->GetPoints().IsEmpty());
    pGraph->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(pGraph));
    int nRefreshes = 0;
    connect(pHist, &CHistFrame::refreshRequested, this, [&] { ++nRefreshes; });
    QTest::keyClick(pGraph, Qt::Key_F5);  // the graph is read again, under a wait dialog
    QCOMPARE(nRefreshes, 1);
    QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget*>(pFrame.get()));
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(pGraph));

    // Alt+Left and Alt+Right step through the zoom history.
    const sGraphView whole = pHist->GetHistGraph()->GetView();
    Wheel(pGraph, pGraph->axisRect()->rect().center(), 120, Qt::NoModifier);
    pFrame->UpdateCommandStates();
    QVERIFY(pFrame->GetCommandState(ID_ZOOM_BACK).m_bEnabled);
    const sGraphView next = pHist->GetHistGraph()->GetView();
    QTest::keyClick(pGraph, Qt::Key_Left, Qt::AltModifier);
    QVERIFY(pHist->GetHistGraph()->GetView() == whole);
    QTest::keyClick(pGraph, Qt::Key_Right, Qt::AltModifier);
    QVERIFY(pHist->GetHistGraph()->GetView() == next);

    // Ctrl+P: the graph's print dialog; F6: the next pane takes the focus.
    CModalAnswerer user;
    QString strDialog;
    user.Then([&](QWidget* pModal) {
      strDialog = pModal->metaObject()->className();
      qobject_cast<QDialog*>(pModal)->reject();
    });
    QTest::keyClick(pGraph, Qt::Key_P, Qt::ControlModifier);
    QCOMPARE(strDialog, QString("QPrintDialog"));
    QApplication::setActiveWindow(pFrame.get());  // this window system gives no activation back after a modal
    pGraph->setFocus();
    QTest::keyClick(pGraph, Qt::Key_F6);
    QVERIFY(pHist->isAncestorOf(QApplication::focusWidget()) && !pHist->GetHistGraph()->isAncestorOf(QApplication::focusWidget()));
  }
};

QTEST_MAIN(MainFrameTest)
#include "MainFrameTest.moc"
