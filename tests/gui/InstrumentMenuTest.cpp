// The instrument commands as the application carries them out: reached through
// the Instrument menu of the window in front, a downloaded file opening in its
// own window.
#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QTreeWidget>
#include <QtTest>
#include <filesystem>

#include "InstrumentTestSupport.h"
#include "app/CommandIds.h"
#include "app/MainFrame.h"
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
  void DownloadedLogFileOpensInItsLogWindowWhoseMenuSendsConfigurations();

private:
  fs::path Temp() const { return fs::path(m_strTemp); }
  fs::path Root() const { return Temp() / "module"; }
  fs::path Destination() const { return Temp() / "home" / "Documents" / "ZK7" / "127.0.0.1"; }
  // Connects, ticks the category, downloads and accepts to open the one file.
  void DownloadOne(QAction* pAction, const QString& strCategory);

  std::string m_strTemp;
  CSimProcess m_sim;
  std::unique_ptr<CZK7App> m_pApp;
};

void InstrumentMenuTest::initTestCase() {
  m_strTemp = MakeTempDir("zk7menu");
  // The user's settings and documents lie in this home, before anything reads them.
  qputenv("HOME", QFile::encodeName(QString::fromStdString((Temp() / "home").string())));
  qputenv("XDG_CONFIG_HOME", QFile::encodeName(QString::fromStdString((Temp() / "home" / ".config").string())));
  for (const char* psz : {"configs", "logs", "internal"}) fs::create_directories(Root() / psz);
  sSampleSpec spec;
  spec.nChannels = 3;
  spec.nRecords = 120;
  std::string strError;
  QVERIFY2(CSampleWriter(spec).WriteFile((Root() / "internal" / "run.zk").string(), &strError), strError.c_str());
  WriteBytes(Root() / "logs" / "events.log", "1\t2026/02/01\t10:00:00\tStart\tadmin\r\n");
  QVERIFY2(StartSimInPortRange(m_sim, Root().string(), {}, strError), strError.c_str());
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

void InstrumentMenuTest::DownloadOne(QAction* pAction, const QString& strCategory) {
  CScriptedUser user;
  user.Then([&user](QWidget* pModal) {
    auto* pDlg = qobject_cast<CEditCommDlg*>(pModal);
    user.Check(pDlg != nullptr, QStringLiteral("the connect dialog"));
    if (!pDlg) return;
    pDlg->findChild<QLineEdit*>(QStringLiteral("address"))->setText(QStringLiteral("127.0.0.1"));
    pDlg->findChild<QLineEdit*>(QStringLiteral("user"))->setText(QString::fromLatin1(kUser));
    pDlg->findChild<QLineEdit*>(QStringLiteral("password"))->setText(QString::fromLatin1(kPassword));
    user.Click(pDlg, QStringLiteral("OK"));
  });
  user.Then([&user, strCategory](QWidget* pModal) {
    auto* pDlg = qobject_cast<CDlgFilesSel*>(pModal);
    user.Check(pDlg != nullptr, QStringLiteral("the selection dialog"));
    if (!pDlg) return;
    QTreeWidgetItem* pCategory = FindTopItem(pDlg->Tree(), strCategory);
    user.Check(pCategory != nullptr, QStringLiteral("no category ") + strCategory);
    if (pCategory) pCategory->setCheckState(0, Qt::Checked);
    QCoreApplication::sendPostedEvents(pDlg);
    user.Click(pDlg, QStringLiteral("Download"));
  });
  user.ThenMessage(QStringLiteral("One file has been loaded.\nDo you want to open it ?"), QStringLiteral("&Yes"));
  pAction->trigger();
  user.Stop();
  QVERIFY2(user.m_aErrors.isEmpty(), qPrintable(user.m_aErrors.join(QLatin1Char('\n'))));
  QCOMPARE(user.StepsLeft(), 0);
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
  CScriptedUser user;
  user.Then([&user](QWidget* pModal) {
    user.Check(qobject_cast<CEditCommDlg*>(pModal) != nullptr, QStringLiteral("the connect dialog"));
    user.Click(pModal, QStringLiteral("Cancel"));
  });
  pSend->trigger();
  user.Stop();
  QVERIFY2(user.m_aErrors.isEmpty(), qPrintable(user.m_aErrors.join(QLatin1Char('\n'))));
  QCOMPARE(user.StepsLeft(), 0);
}

QTEST_MAIN(InstrumentMenuTest)
#include "InstrumentMenuTest.moc"
