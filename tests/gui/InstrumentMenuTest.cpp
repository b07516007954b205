// The instrument commands as the application carries them out: reached through
// the Instrument menu of the window in front, a downloaded file opening in its
// own window.
#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <QTreeWidget>
#include <QtTest>
#include <filesystem>

#include "InstrumentTestSupport.h"
#include "app/CommandIds.h"
#include "app/MainFrame.h"
#include "app/InstanceChannel.h"
#include "app/MdiChild.h"
#include "app/ZK7App.h"
#include "samples/SampleWriter.h"
#include "settings/ConnectionSettings.h"
#include "settings/SettingsStore.h"
#include "workflows/DlgFilesSel.h"
#include "workflows/EditCommDlg.h"
#include "workflows/InstrumentCommands.h"

using namespace zk7;
namespace fs = std::filesystem;

namespace {

const char* const kUser = "admin";
const char* const kPassword = "admin";

QAction* FindMenuAction(CMainFrame* pFrame, const QString& strMenu, const QString& strItem) {
  for (QMenu* pMenu : pFrame->GetMenus())
    if (pMenu->title() == strMenu)
      for (QAction* pAction : pMenu->actions())
        if (pAction->text() == strItem) return pAction;
  return nullptr;
}

} // namespace

class InstrumentMenuTest : public QObject {
  Q_OBJECT

private slots:
  void initTestCase();
  void cleanupTestCase();
  void DownloadedResultsFileOpensInItsHistoryWindow();
  void StatusBarShowsTheHelpLineOfEveryCommand();
  void DownloadedLogFileOpensInItsLogWindowWhoseMenuSendsConfigurations();
  void OpenFileIsReplacedOnlyOnTheUsersWordAndReopensWithItsNewContents();

private:
  fs::path Temp() const { return fs::path(m_strTemp); }
  fs::path Root() const { return Temp() / "module"; }
  fs::path Destination() const { return Temp() / "home" / "Documents" / "ZK7" / "127.0.0.1"; }
  // Connects, ticks the category, downloads and accepts to open the one file.
  void DownloadOne(QAction* pAction, const QString& strCategory);
  static CModalAnswerer::Step LoginStep(CModalAnswerer& user);
  static CModalAnswerer::Step SelectStep(CModalAnswerer& user, const QString& strCategory,
                                        std::function<void()> fnMeanwhile = {});

  std::string m_strTemp;
  CSimProcess m_sim;
  std::unique_ptr<CZK7App> m_pApp;
};

void InstrumentMenuTest::initTestCase() {
  m_strTemp = MakeTempDir("zk7menu");
  // A hand-over channel of this test's own: another instance may be running.
  qputenv("ZK7_INSTANCE_NAME", QByteArrayLiteral("zk7-menu-test-") + QByteArray::number(QCoreApplication::applicationPid()));
  // The user's settings and documents lie in this home, before anything reads them.
  qputenv("HOME", QFile::encodeName(QString::fromStdString((Temp() / "home").string())));
  qputenv("XDG_CONFIG_HOME", QFile::encodeName(QString::fromStdString((Temp() / "home" / ".config").string())));
  for (const char* psz : {"configs", "logs", "internal"}) fs::create_directories(Root() / psz);
  sSampleSpec spec;
  spec.nChannels = 3;
  spec.nRecords = 120;
  std::string strError;
  QVERIFY2(CSampleWriter(spec).WriteFile((Root() / "internal" / "run.zk").string(), &strError), strError.c_str());
  WriteFileText(Root() / "logs" / "events.log", "1\t2026/02/01\t10:00:00\tStart\tadmin\r\n");
  QVERIFY2(m_sim.Start(Root().string(), {}, strError), strError.c_str());
  CreateUserSettingsStore()->WriteInt(CONNECTION_SECTION, CONNECTION_KEY_PORT, m_sim.Port());

  m_pApp = std::make_unique<CZK7App>(QStringList());
  QVERIFY(m_pApp->InitInstance());
  QVERIFY(m_pApp->GetMainFrame());
  QVERIFY(m_pApp->GetInstrumentCommands());
}

void InstrumentMenuTest::cleanupTestCase() {
  m_pApp.reset();
  m_sim.Stop();
  std::error_code ec;
  fs::remove_all(Temp(), ec);
}

CModalAnswerer::Step InstrumentMenuTest::LoginStep(CModalAnswerer& user) {
  return [&user](QWidget* pModal) {
    auto* pDlg = qobject_cast<CEditCommDlg*>(pModal);
    user.Check(pDlg != nullptr, QStringLiteral("the connect dialog"));
    if (!pDlg) return;
    pDlg->findChild<QLineEdit*>(QStringLiteral("address"))->setText(QStringLiteral("127.0.0.1"));
    pDlg->findChild<QLineEdit*>(QStringLiteral("user"))->setText(QString::fromLatin1(kUser));
    pDlg->findChild<QLineEdit*>(QStringLiteral("password"))->setText(QString::fromLatin1(kPassword));
    user.Click(pDlg, QStringLiteral("OK"));
  };
}

CModalAnswerer::Step InstrumentMenuTest::SelectStep(CModalAnswerer& user, const QString& strCategory,
                                                   std::function<void()> fnMeanwhile) {
  return [&user, strCategory, fnMeanwhile](QWidget* pModal) {
    auto* pDlg = qobject_cast<CDlgFilesSel*>(pModal);
    user.Check(pDlg != nullptr, QStringLiteral("the selection dialog"));
    if (!pDlg) return;
    if (fnMeanwhile) fnMeanwhile();
    QTreeWidgetItem* pCategory = FindTopItem(pDlg->Tree(), strCategory);
    user.Check(pCategory != nullptr, QStringLiteral("no category ") + strCategory);
    if (pCategory) pCategory->setCheckState(0, Qt::Checked);
    QCoreApplication::sendPostedEvents(pDlg);
    user.Click(pDlg, QStringLiteral("Download"));
  };
}

void InstrumentMenuTest::DownloadOne(QAction* pAction, const QString& strCategory) {
  CModalAnswerer user;
  user.Then(LoginStep(user));
  user.Then(SelectStep(user, strCategory));
  user.ThenMessage(QStringLiteral("One file has been loaded.\nDo you want to open it ?"), QStringLiteral("&Yes"));
  pAction->trigger();
  user.Stop();
  QVERIFY2(user.AllAnswered(), qPrintable(user.Report()));
  // The command connected for itself, so it disconnected at its end.
  QVERIFY(m_pApp->GetInstrumentCommands()->GetDevice() == nullptr);
  QVERIFY(m_pApp->GetMainFrame()->isEnabled());
}

void InstrumentMenuTest::DownloadedResultsFileOpensInItsHistoryWindow() {
  CMainFrame* pFrame = m_pApp->GetMainFrame();
  QCOMPARE(pFrame->GetMenuId(), unsigned(IDR_MAINFRAME));
  // The state pass that runs when the event loop is idle.
  pFrame->UpdateCommandStates();
  QAction* pDownload = FindMenuAction(pFrame, QStringLiteral("&Instrument"), QStringLiteral("Download Files..."));
  QVERIFY(pDownload);
  QVERIFY(pDownload->isEnabled());
  DownloadOne(pDownload, QStringLiteral("internal flash"));
  const QString strPath = QString::fromStdString((Destination() / "internal" / "run.zk").string());
  QCOMPARE(pFrame->GetChildren().size(), size_t(1));
  QCOMPARE(pFrame->GetChildren().front()->GetPathName(), strPath);
  QCOMPARE(pFrame->GetMenuId(), unsigned(IDR_RESULTS));
}

void InstrumentMenuTest::DownloadedLogFileOpensInItsLogWindowWhoseMenuSendsConfigurations() {
  CMainFrame* pFrame = m_pApp->GetMainFrame();
  // From the results window's own Instrument menu.
  QCOMPARE(pFrame->GetMenuId(), unsigned(IDR_RESULTS));
  pFrame->UpdateCommandStates();
  QAction* pDownload = FindMenuAction(pFrame, QStringLiteral("&Instrument"), QStringLiteral("Download Files..."));
  QVERIFY(pDownload);
  DownloadOne(pDownload, QStringLiteral("Glogal Logs"));
  QCOMPARE(pFrame->GetChildren().size(), size_t(2));
  QCOMPARE(pFrame->GetActiveChild()->GetPathName(),
           QString::fromStdString((Destination() / "logs" / "events.log").string()));
  QCOMPARE(pFrame->GetMenuId(), unsigned(IDR_LOG));

  // The log window's menu reaches the send command, which starts by connecting.
  pFrame->UpdateCommandStates();
  QAction* pSend =
      FindMenuAction(pFrame, QStringLiteral("&Instrument"), QStringLiteral("&Send configuration file..."));
  QVERIFY(pSend);
  CModalAnswerer user;
  user.Then([&user](QWidget* pModal) {
    user.Check(qobject_cast<CEditCommDlg*>(pModal) != nullptr, QStringLiteral("the connect dialog"));
    user.Click(pModal, QStringLiteral("Cancel"));
  });
  pSend->trigger();
  user.Stop();
  QVERIFY2(user.AllAnswered(), qPrintable(user.Report()));
}

void InstrumentMenuTest::StatusBarShowsTheHelpLineOfEveryCommand() {
  CMainFrame* pFrame = m_pApp->GetMainFrame();
  QCOMPARE(pFrame->GetMenuId(), unsigned(IDR_RESULTS));
  QStringList aWithout;
  std::function<void(QMenu*)> walk = [&](QMenu* pMenu) {
    for (QAction* pAction : pMenu->actions()) {
      if (pAction->menu()) walk(pAction->menu());
      // The window list's entries name windows, not commands.
      else if (!pAction->isSeparator() && pAction->property("commandId").isValid() && pAction->statusTip().isEmpty())
        aWithout << pAction->text();
    }
  };
  for (QMenu* pMenu : pFrame->GetMenus()) walk(pMenu);
  for (QAction* pAction : pFrame->GetToolBar()->actions())
    if (!pAction->isSeparator() && pAction->statusTip().isEmpty()) aWithout << pAction->toolTip();
  QVERIFY2(aWithout.isEmpty(), qPrintable(aWithout.join(QStringLiteral(", "))));

  // Pointing at an item shows its line in the main window's status bar.
  const std::pair<const char*, const char*> aShown[] = {
      {"Download Files...", "Download results files, log files and configuration"},
      {"&Send configuration file...", "Send a configuration file to a device"},
  };
  for (const auto& [pszItem, pszLine] : aShown) {
    QAction* pAction = FindMenuAction(pFrame, QStringLiteral("&Instrument"), QString::fromLatin1(pszItem));
    QVERIFY(pAction);
    // As a menu of the menu bar does for the item under the pointer.
    pAction->showStatusText(pFrame->menuBar());
    QCOMPARE(pFrame->statusBar()->currentMessage(), QString::fromLatin1(pszLine));
  }
}

void InstrumentMenuTest::OpenFileIsReplacedOnlyOnTheUsersWordAndReopensWithItsNewContents() {
  CMainFrame* pFrame = m_pApp->GetMainFrame();
  const QString strPath = QString::fromStdString((Destination() / "internal" / "run.zk").string());
  const QString strHanded = QString::fromStdString((Temp() / "handed.log").string());
  WriteFileText(Temp() / "handed.log", "1\t2026/02/01\t11:00:00\tStop\tadmin\r\n");
  auto windowOf = [pFrame](const QString& strFile) -> CMdiChild* {
    for (CMdiChild* pChild : pFrame->GetChildren())
      if (pChild->GetPathName() == strFile) return pChild;
    return nullptr;
  };
  QPointer<CMdiChild> pOld = windowOf(strPath);
  QVERIFY(pOld);
  const std::string strOldBytes = ReadFileText(Destination() / "internal" / "run.zk");

  // The module's file has changed since; the user first keeps the open window.
  auto rewriteOnModule = [this](int nRecords) {
    sSampleSpec spec;
    spec.nChannels = 3;
    spec.nRecords = nRecords;
    std::string strError;
    return CSampleWriter(spec).WriteFile((Root() / "internal" / "run.zk").string(), &strError);
  };
  QVERIFY(rewriteOnModule(200));
  const QString strQuestion =
      QStringLiteral(" '%1'\n\n This file is open in a window. Close the window and replace the file ?").arg(strPath);
  QAction* pDownload = FindMenuAction(pFrame, QStringLiteral("&Instrument"), QStringLiteral("Download Files..."));
  QVERIFY(pDownload);
  {
    CModalAnswerer user;
    user.Then(LoginStep(user));
    user.Then(SelectStep(user, QStringLiteral("internal flash")));
    user.ThenMessage(strQuestion, QStringLiteral("&No"));
    user.ThenMessage(QStringLiteral("No file was downloaded."));
    pDownload->trigger();
    user.Stop();
    QVERIFY2(user.AllAnswered(), qPrintable(user.Report()));
    QVERIFY(pOld);
    QCOMPARE(ReadFileText(Destination() / "internal" / "run.zk"), strOldBytes);
  }

  // Then agrees: the window closes before the file is replaced, and opening the
  // file shows the new contents. A file handed over by a later launch meanwhile
  // waits for the command to end.
  bool bHandedOpenDuringCommand = true;
  {
    CModalAnswerer user;
    user.Then(LoginStep(user));
    user.Then(SelectStep(user, QStringLiteral("internal flash"), [this, strHanded] {
      emit m_pApp->GetInstanceChannel()->openRequested(strHanded);
    }));
    user.ThenMessage(strQuestion, QStringLiteral("&Yes"));
    user.Then([&user, &pOld, &bHandedOpenDuringCommand, &windowOf, strHanded](QWidget* pModal) {
      user.Check(pOld.isNull() || !pOld->isVisible(), QStringLiteral("the window closed before the replace question"));
      bHandedOpenDuringCommand = windowOf(strHanded) != nullptr;
      user.Click(pModal, QStringLiteral("&Yes"));
    });
    user.ThenMessage(QStringLiteral("One file has been loaded.\nDo you want to open it ?"), QStringLiteral("&Yes"));
    pDownload->trigger();
    user.Stop();
    QVERIFY2(user.AllAnswered(), qPrintable(user.Report()));
  }
  QCOMPARE(ReadFileText(Destination() / "internal" / "run.zk"), ReadFileText(Root() / "internal" / "run.zk"));
  QVERIFY(ReadFileText(Destination() / "internal" / "run.zk") != strOldBytes);
  CMdiChild* pNew = windowOf(strPath);
  QVERIFY(pNew);
  QVERIFY(pNew != pOld.data());
  QVERIFY(!bHandedOpenDuringCommand);
  QTRY_VERIFY(windowOf(strHanded) != nullptr);
}

QTEST_MAIN(InstrumentMenuTest)
#include "InstrumentMenuTest.moc"
