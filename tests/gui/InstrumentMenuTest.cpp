// The instrument commands as the application carries them out: reached through
// the Instrument menu of the window in front, a downloaded file opening in its
// own window.
#include <filesystem>

#include "InstrumentTestSupport.h"
#include "app/CommandIds.h"
#include "app/InstanceChannel.h"
#include "app/MainFrame.h"
#include "app/MdiChild.h"
#include "app/ZK7App.h"
#include "samples/SampleWriter.h"
#include "settings/ConnectionSettings.h"
#include "settings/SettingsStore.h"
#include "workflows/InstrumentCommands.h"

using namespace zk7;
namespace fs = std::filesystem;

class InstrumentMenuTest : public QObject {
  Q_OBJECT

private:
  fs::path Destination() const { return m_sim.Temp() / "home" / "Documents" / "ZK7" / "127.0.0.1"; }
  QString Downloaded(const char* pszPath) const { return QString::fromStdString((Destination() / pszPath).string()); }
  CMainFrame* Frame() const { return m_pApp->GetMainFrame(); }
  // The item of the Instrument menu of the window in front, after the idle state pass.
  QAction* Instrument(const QString& strItem) {
    Frame()->UpdateCommandStates();
    for (QMenu* pMenu : Frame()->GetMenus())
      if (pMenu->title() == QLatin1String("&Instrument"))
        for (QAction* pAction : pMenu->actions())
          if (pAction->text() == strItem) return pAction;
    return nullptr;
  }
  // The menu bar's state, the number of windows and the one in front.
  QString Shown() const {
    CMdiChild* pActive = Frame()->GetActiveChild();
    return QString("%1|%2|%3").arg(Frame()->GetMenuId()).arg(Frame()->GetChildren().size()).arg(pActive ? pActive->GetPathName() : "");
  }
  CMdiChild* WindowOf(const QString& strFile) const {
    for (CMdiChild* pChild : Frame()->GetChildren())
      if (pChild->GetPathName() == strFile) return pChild;
    return nullptr;
  }
  bool WriteResultsOnModule(int nRecords) {
    const sSampleSpec spec{.nChannels = 3, .nRecords = nRecords};
    return CSampleWriter(spec).WriteFile((m_sim.Root() / "internal" / "run.zk").string(), nullptr);
  }
  // Downloads through the menu item with the answers of fnScript after the login and the selection.
  void Download(const QString& strCategory, const std::function<void(CModalAnswerer&)>& fnScript,
                std::function<void(CDlgFilesSel*)> fnMeanwhile = {}) {
    QAction* pDownload = Instrument("Download Files...");
    QVERIFY(pDownload && pDownload->isEnabled());
    CModalAnswerer user;
    user.Then(LoginStep(user));
    user.Then(SelectStep(user, {{strCategory}}, std::move(fnMeanwhile)));
    fnScript(user);
    pDownload->trigger();
    user.Stop();
    // The command connected for itself, so it disconnected at its end.
    QVERIFY(m_pApp->GetInstrumentCommands()->GetDevice() == nullptr && Frame()->isEnabled());
  }
  static void OpenIt(CModalAnswerer& user) {
    user.ThenMessage("One file has been loaded.\nDo you want to open it ?", "&Yes");
  }

  CModuleSim m_sim;
  std::unique_ptr<CZK7App> m_pApp;

private slots:
  void initTestCase() {
    // A hand-over channel of this test's own: another instance may be running.
    qputenv("ZK7_INSTANCE_NAME", QByteArrayLiteral("zk7-menu-test-") + QByteArray::number(QCoreApplication::applicationPid()));
    // The user's settings and documents lie in this home, before anything reads them.
    qputenv("HOME", QFile::encodeName(QString::fromStdString((m_sim.Temp() / "home").string())));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(QString::fromStdString((m_sim.Temp() / "home" / ".config").string())));
    QVERIFY(WriteResultsOnModule(120));
    WriteFileText(m_sim.Root() / "logs" / "events.log", "1\t2026/02/01\t10:00:00\tStart\tadmin\r\n");
    std::string strError;
    QVERIFY2(m_sim.Start({}, strError), strError.c_str());
    CreateUserSettingsStore()->WriteInt(CONNECTION_SECTION, CONNECTION_KEY_PORT, m_sim.Port());
    m_pApp = std::make_unique<CZK7App>(QStringList());
    QVERIFY(m_pApp->InitInstance() && Frame() && m_pApp->GetInstrumentCommands());
  }

  void cleanupTestCase() { m_pApp.reset(); }

  // One story: each step works in the windows the step before left open.
  void downloadsOpenTheirWindowsWhoseMenusReachTheInstrument() {
    DownloadedResultsFileOpensInItsHistoryWindow();
    if (QTest::currentTestFailed()) return;
    StatusBarShowsTheHelpLineOfEveryCommand();
    if (QTest::currentTestFailed()) return;
    DownloadedLogFileOpensInItsLogWindowWhoseMenuSendsConfigurations();
    if (QTest::currentTestFailed()) return;
    OpenFileIsReplacedOnlyOnTheUsersWordAndReopensWithItsNewContents();
    if (QTest::currentTestFailed()) return;
  }

private:
  void DownloadedResultsFileOpensInItsHistoryWindow() {
    QCOMPARE(Frame()->GetMenuId(), unsigned(IDR_MAINFRAME));
    Download("internal flash", OpenIt);
    QCOMPARE(Shown(), QString("%1|1|%2").arg(IDR_RESULTS).arg(Downloaded("internal/run.zk")));
  }

  void StatusBarShowsTheHelpLineOfEveryCommand() {
    QCOMPARE(Frame()->GetMenuId(), unsigned(IDR_RESULTS));
    QStringList aWithout;
    std::function<void(QMenu*)> walk = [&](QMenu* pMenu) {
      for (QAction* pAction : pMenu->actions()) {
        if (pAction->menu()) walk(pAction->menu());
        // The window list's entries name windows, not commands.
        else if (!pAction->isSeparator() && pAction->property("commandId").isValid() && pAction->statusTip().isEmpty())
          aWithout << pAction->text();
      }
    };
    for (QMenu* pMenu : Frame()->GetMenus()) walk(pMenu);
    for (QAction* pAction : Frame()->GetToolBar()->actions())
      if (!pAction->isSeparator() && pAction->statusTip().isEmpty()) aWithout << pAction->toolTip();
    QVERIFY2(aWithout.isEmpty(), qPrintable(aWithout.join(", ")));

    // Pointing at an item shows its line in the main window's status bar, as a menu of the menu bar does.
    QAction* pAction = Instrument("Download Files...");
    pAction->showStatusText(Frame()->menuBar());
    QCOMPARE(Frame()->statusBar()->currentMessage(), "Download results files, log files and configuration");
  }

  void DownloadedLogFileOpensInItsLogWindowWhoseMenuSendsConfigurations() {
    // From the results window's own Instrument menu.
    QCOMPARE(Frame()->GetMenuId(), unsigned(IDR_RESULTS));
    Download("Glogal Logs", OpenIt);
    QCOMPARE(Shown(), QString("%1|2|%2").arg(IDR_LOG).arg(Downloaded("logs/events.log")));

    // The log window's menu reaches the send command, which starts by connecting.
    QAction* pSend = Instrument("&Send configuration file...");
    QVERIFY(pSend);
    CModalAnswerer user;
    user.ThenClick("Cancel");
    pSend->trigger();
    QCOMPARE(user.Titles(), QStringList{"Connecting to device"});
  }

  void OpenFileIsReplacedOnlyOnTheUsersWordAndReopensWithItsNewContents() {
    const QString strPath = Downloaded("internal/run.zk");
    const QString strHanded = QString::fromStdString((m_sim.Temp() / "handed.log").string());
    WriteFileText(m_sim.Temp() / "handed.log", "1\t2026/02/01\t11:00:00\tStop\tadmin\r\n");
    QPointer<CMdiChild> pOld = WindowOf(strPath);
    QVERIFY(pOld);
    const std::string strOldBytes = ReadFileText(Destination() / "internal" / "run.zk");

    // The module's file has changed since; the user first keeps the open window.
    QVERIFY(WriteResultsOnModule(200));
    const QString strQuestion =
        QString(" '%1'\n\n This file is open in a window. Close the window and replace the file ?").arg(strPath);
    Download("internal flash", [&](CModalAnswerer& user) {
      user.ThenMessage(strQuestion, "&No");
      user.ThenMessage("No file was downloaded.");
    });
    QVERIFY(pOld);
    QCOMPARE(ReadFileText(Destination() / "internal" / "run.zk"), strOldBytes);

    // Then agrees: the window closes before the file is replaced, and opening the
    // file shows the new contents. A file handed over by a later launch meanwhile
    // waits for the command to end.
    bool bHandedOpenDuringCommand = true;
    Download(
        "internal flash",
        [&](CModalAnswerer& user) {
          user.ThenMessage(strQuestion, "&Yes");
          user.Then([&](QWidget* pModal) {
            user.Check(pOld.isNull() || !pOld->isVisible(), "the window closed before the replace question");
            bHandedOpenDuringCommand = WindowOf(strHanded) != nullptr;
            user.Click(pModal, "&Yes");
          });
          OpenIt(user);
        },
        [&](CDlgFilesSel*) { emit m_pApp->GetInstanceChannel()->openRequested(strHanded); });
    QCOMPARE(ReadFileText(Destination() / "internal" / "run.zk"), ReadFileText(m_sim.Root() / "internal" / "run.zk"));
    QVERIFY(ReadFileText(Destination() / "internal" / "run.zk") != strOldBytes);
    CMdiChild* pNew = WindowOf(strPath);
    QVERIFY(pNew && pNew != pOld.data() && !bHandedOpenDuringCommand);
    QTRY_VERIFY(WindowOf(strHanded) != nullptr);
  }
};

QTEST_MAIN(InstrumentMenuTest)
#include "InstrumentMenuTest.moc"
