// The instrument commands against zk7-sim in its own process: connect, download
// files, send a configuration, answered by a scripted user.
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QMainWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "InstrumentTestSupport.h"
#include "link/ZK7Dev.h"
#include "settings/ConnectionSettings.h"
#include "settings/SettingsStore.h"
#include "ui/dialogs/5ButtonsDialog.h"
#include "ui/dialogs/WaitDialog.h"
#include "workflows/DlgFilesSel.h"
#include "workflows/EditCommDlg.h"
#include "workflows/InstrumentCommands.h"
#include "workflows/SendConfiguration.h"

using namespace zk7;
namespace fs = std::filesystem;

namespace {

const char* const kUser = "operator";
const char* const kPassword = "s3cret&";

// The captions the wait dialogs take, in order.
class CWaitTitles : public QObject {
public:
  CWaitTitles() { qApp->installEventFilter(this); }
  ~CWaitTitles() override { qApp->removeEventFilter(this); }
  QStringList m_aTitles;

protected:
  bool eventFilter(QObject* pObject, QEvent* pEvent) override {
    if (pEvent->type() == QEvent::WindowTitleChange)
      if (auto* pWait = qobject_cast<CWaitDialog*>(pObject)) m_aTitles << pWait->windowTitle();
    return false;
  }
};

} // namespace

class InstrumentWorkflowTest : public QObject {
  Q_OBJECT

private slots:
  void initTestCase();
  void cleanupTestCase();
  void init();
  void cleanup();

  void ConnectDialogOnFirstUse();
  void FirstConnectionWritesTheThreeSettings();
  void WrongPasswordShowsRefusalAndKeepsAddressAndUser();
  void StoredPortOutsideTheRangeIsTypedOver();
  void PortAndTextFieldsAcceptWhatCanBeSentOnly();
  void WindowRunsAndCancelActsDuringStalledRequests();
  void ListingRefusedFiveTimesShowsTheLinkErrorAndNoSelection();
  void TreeShowsCategoriesDirectoriesAndEmptyAbsentDevices();
  void ThreeFilesGiveRangeZeroToSixAndPositionsForEachFile();
  void CancelInTheWaitDialogStopsBeforeTheNextFile();
  void ConfigurationFilesOnlyEndWithoutTheOpenQuestion();
  void ResultsAndLogFilesLeadToTheFileDialog();
  void SingleResultsFileOpensDirectly();
  void DecliningToStopEndsBeforeTheFileDialog();
  void ConfigurationWithoutSessionIsRefusedBeforeSending();
  void StopSendAndStartInAppendMode();

private:
  fs::path Temp() const { return fs::path(m_strTemp); }
  fs::path Root() const { return Temp() / "module"; }
  // A home whose name is not plain ASCII: local paths are shown as the file system spells them.
  fs::path Home() const { return Temp() / "h\xC3\xB4me"; }
  fs::path Destination() const { return Home() / "Documents" / "ZK7" / "127.0.0.1"; }
  std::unique_ptr<ISettingsStore> Store() const { return CreateIniSettingsStore((Temp() / "settings.ini").string()); }

  void StartSim(const std::vector<std::string>& aArgs = {});
  // The stored port points at the simulator, as after an edit of the settings store.
  void StorePort() { Store()->WriteInt(CONNECTION_SECTION, CONNECTION_KEY_PORT, m_sim.Port()); }
  static CModalAnswerer::Step Login(CModalAnswerer& user, const QString& strPassword = QString::fromLatin1(kPassword));
  // Ticks the items at the given paths (texts from the top), then clicks "Download".
  static CModalAnswerer::Step Select(CModalAnswerer& user, const std::vector<QStringList>& aPaths);
  void Finish(CModalAnswerer& user);
  int CountRequests(const std::string& strNeedle);
  std::unique_ptr<CZK7Dev> OtherClient();

  std::string m_strTemp;
  std::string m_strConfig;
  CSimProcess m_sim;
  std::unique_ptr<QMainWindow> m_pMain;
  std::unique_ptr<CInstrumentCommands> m_pCommands;
  QStringList m_aOpened;
};

// The user's configuration (the file dialogs' history) stays in one folder of this
// run: the path is read once per process.
void InstrumentWorkflowTest::initTestCase() {
  m_strConfig = MakeTempDir("zk7workflowconfig");
  qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(m_strConfig));
}

void InstrumentWorkflowTest::cleanupTestCase() {
  std::error_code ec;
  fs::remove_all(m_strConfig, ec);
}

void InstrumentWorkflowTest::init() {
  m_strTemp = MakeTempDir("zk7workflow");
  // The default destination lies in the documents folder of this home.
  qputenv("HOME", QByteArray::fromStdString(Home().string()));
  for (const char* psz : {"configs", "logs", "internal"}) fs::create_directories(Root() / psz);
  // A file dialog without a folder of its own lists the current one.
  QDir::setCurrent(QString::fromStdString(Temp().string()));
  m_pMain = std::make_unique<QMainWindow>();
  m_pMain->resize(800, 600);
  m_pMain->show();
  m_pCommands = std::make_unique<CInstrumentCommands>(Store());
  m_pCommands->SetMainWindow(m_pMain.get());
  m_aOpened.clear();
  m_pCommands->SetDocumentOpener([this](const QString& strPath) { m_aOpened << strPath; });
}

void InstrumentWorkflowTest::cleanup() {
  m_pCommands.reset();
  m_pMain.reset();
  m_sim.Stop();
  QDir::setCurrent(QDir::tempPath());
  std::error_code ec;
  fs::remove_all(Temp(), ec);
}

void InstrumentWorkflowTest::StartSim(const std::vector<std::string>& aArgs) {
  std::vector<std::string> a = aArgs;
  a.insert(a.end(), {"--user", std::string(kUser) + ":" + kPassword, "--trace", (Temp() / "trace").string()});
  std::string strError;
  QVERIFY2(m_sim.Start(Root().string(), a, strError), strError.c_str());
}

CModalAnswerer::Step InstrumentWorkflowTest::Login(CModalAnswerer& user, const QString& strPassword) {
  return [&user, strPassword](QWidget* pModal) {
    auto* pDlg = qobject_cast<CEditCommDlg*>(pModal);
    if (!pDlg) {
      user.Fail(QStringLiteral("expected the connect dialog, got ") + GetDialogText(pModal));
      return;
    }
    pDlg->findChild<QLineEdit*>(QStringLiteral("address"))->setText(QStringLiteral("127.0.0.1"));
    pDlg->findChild<QLineEdit*>(QStringLiteral("user"))->setText(QString::fromLatin1(kUser));
    pDlg->findChild<QLineEdit*>(QStringLiteral("password"))->setText(strPassword);
    user.Click(pDlg, QStringLiteral("OK"));
  };
}

CModalAnswerer::Step InstrumentWorkflowTest::Select(CModalAnswerer& user, const std::vector<QStringList>& aPaths) {
  return [&user, aPaths](QWidget* pModal) {
    auto* pDlg = qobject_cast<CDlgFilesSel*>(pModal);
    if (!pDlg) {
      user.Fail(QStringLiteral("expected the selection dialog, got ") + GetDialogText(pModal));
      return;
    }
    for (const QStringList& path : aPaths) {
      QTreeWidgetItem* pItem = FindTopItem(pDlg->Tree(), path.front());
      for (int i = 1; i < path.size() && pItem; ++i) pItem = FindChildItem(pItem, path[i]);
      user.Check(pItem != nullptr, QStringLiteral("no item ") + path.join(QLatin1Char('/')));
      // As a click on its check box: the tree toggles the mark, the dialog spreads it.
      if (pItem) pItem->setCheckState(0, Qt::Checked);
    }
    QCoreApplication::sendPostedEvents(pDlg);
    user.Click(pDlg, QStringLiteral("Download"));
  };
}

void InstrumentWorkflowTest::Finish(CModalAnswerer& user) {
  user.Stop();
  QVERIFY2(user.AllAnswered(), qPrintable(user.Report()));
  // Every wait dialog has given the main window back its input.
  QVERIFY(m_pMain->isEnabled());
}

int InstrumentWorkflowTest::CountRequests(const std::string& strNeedle) {
  int n = 0;
  for (const auto& rec : ReadTrace((Temp() / "trace").string()))
    if (rec.cSide == 'C' && rec.strBytes.find(strNeedle) != std::string::npos) ++n;
  return n;
}

std::unique_ptr<CZK7Dev> InstrumentWorkflowTest::OtherClient() {
  auto dev = std::make_unique<CZK7Dev>(m_sim.Port());
  dev->SetParameters(m_sim.Host(), kUser, kPassword);
  if (dev->Login() != ZK7_OK) return nullptr;
  return dev;
}

void InstrumentWorkflowTest::ConnectDialogOnFirstUse() {
  CModalAnswerer user;
  user.Then([&user](QWidget* pModal) {
    auto* pDlg = qobject_cast<CEditCommDlg*>(pModal);
    user.Check(pDlg != nullptr, QStringLiteral("the connect dialog"));
    if (!pDlg) return;
    user.Compare(pDlg->windowTitle(), QStringLiteral("Connecting to device"), QStringLiteral("title"));
    auto* pPort = pDlg->findChild<QLineEdit*>(QStringLiteral("port"));
    user.Compare(pPort->text(), QStringLiteral("80"), QStringLiteral("port"));
    user.Check(pPort->isEnabled() && !pPort->isReadOnly(), QStringLiteral("the port can be typed"));
    user.Compare(pDlg->findChild<QLineEdit*>(QStringLiteral("address"))->text(), QString(), QStringLiteral("address"));
    user.Compare(pDlg->findChild<QLineEdit*>(QStringLiteral("user"))->text(), QString(), QStringLiteral("user"));
    user.Compare(int(pDlg->findChild<QLineEdit*>(QStringLiteral("password"))->echoMode()), int(QLineEdit::Password),
                 QStringLiteral("password masked"));
    user.Click(pDlg, QStringLiteral("Cancel"));
  });
  m_pCommands->OnDownloadFiles();
  Finish(user);
  QVERIFY(m_pCommands->GetDevice() == nullptr);
  QVERIFY(m_pCommands->OnUpdateConnect());
  QVERIFY(!m_pCommands->OnUpdateDisconnect());
}

void InstrumentWorkflowTest::FirstConnectionWritesTheThreeSettings() {
  StartSim();
  StorePort();
  {
    auto pStore = Store();
    QCOMPARE(pStore->ReadText(CONNECTION_SECTION, CONNECTION_KEY_ADDRESS, "none"), std::string("none"));
  }
  CModalAnswerer user;
  user.Then(Login(user));
  m_pCommands->OnConnect();
  Finish(user);
  QVERIFY(m_pCommands->IsLogged());
  QVERIFY(!m_pCommands->OnUpdateConnect());
  QVERIFY(m_pCommands->OnUpdateDisconnect());
  const sConnectionSettings stored = ReadConnectionSettings(*Store());
  QCOMPARE(stored.m_strAddress, std::string("127.0.0.1"));
  QCOMPARE(stored.m_strUser, std::string(kUser));
  QCOMPARE(stored.m_nPort, m_sim.Port());
  // The password is never stored.
  const std::string strIni = ReadFileText(Temp() / "settings.ini");
  QVERIFY(strIni.find("s3cret") == std::string::npos);

  m_pCommands->OnDisconnect();
  QVERIFY(m_pCommands->GetDevice() == nullptr);
}

void InstrumentWorkflowTest::WrongPasswordShowsRefusalAndKeepsAddressAndUser() {
  StartSim();
  StorePort();
  CModalAnswerer user;
  user.Then(Login(user, QStringLiteral("wrong")));
  user.ThenMessage(QStringLiteral("Request status Error: Invalid user name or password"));
  user.Then([&user](QWidget* pModal) {
    auto* pDlg = qobject_cast<CEditCommDlg*>(pModal);
    user.Check(pDlg != nullptr, QStringLiteral("the connect dialog again"));
    if (!pDlg) return;
    user.Compare(pDlg->findChild<QLineEdit*>(QStringLiteral("address"))->text(), QStringLiteral("127.0.0.1"),
                 QStringLiteral("address kept"));
    user.Compare(pDlg->findChild<QLineEdit*>(QStringLiteral("user"))->text(), QString::fromLatin1(kUser),
                 QStringLiteral("user kept"));
    user.Click(pDlg, QStringLiteral("Cancel"));
  });
  m_pCommands->OnConnect();
  Finish(user);
  // The failed link stays, not logged in; nothing was written.
  QVERIFY(m_pCommands->GetDevice() != nullptr);
  QVERIFY(!m_pCommands->IsLogged());
  QCOMPARE(Store()->ReadText(CONNECTION_SECTION, CONNECTION_KEY_ADDRESS, "none"), std::string("none"));
  QCOMPARE(Store()->ReadText(CONNECTION_SECTION, CONNECTION_KEY_USER, "none"), std::string("none"));

  // The next instrument command asks for the connection again.
  CModalAnswerer again;
  again.Then([&again](QWidget* pModal) {
    again.Check(qobject_cast<CEditCommDlg*>(pModal) != nullptr, QStringLiteral("the connect dialog"));
    again.Click(pModal, QStringLiteral("Cancel"));
  });
  m_pCommands->OnSendConfiguration();
  Finish(again);
}

void InstrumentWorkflowTest::StoredPortOutsideTheRangeIsTypedOver() {
  StartSim();
  Store()->WriteInt(CONNECTION_SECTION, CONNECTION_KEY_PORT, 70000);
  CModalAnswerer user;
  user.ThenClick(QStringLiteral("OK"));
  user.ThenMessage(QStringLiteral("Please enter an integer between 1 and 65535."));
  user.Then([&user, this](QWidget* pModal) {
    auto* pDlg = qobject_cast<CEditCommDlg*>(pModal);
    user.Check(pDlg != nullptr, QStringLiteral("the dialog stays open"));
    if (!pDlg) return;
    pDlg->findChild<QLineEdit*>(QStringLiteral("port"))->setText(QString::number(m_sim.Port()));
    Login(user)(pDlg);
  });
  m_pCommands->OnConnect();
  Finish(user);
  QVERIFY(m_pCommands->IsLogged());
  QCOMPARE(ReadConnectionSettings(*Store()).m_nPort, m_sim.Port());
}

void InstrumentWorkflowTest::PortAndTextFieldsAcceptWhatCanBeSentOnly() {
  struct sRow {
    const char* pszField;
    QString strText;
    QString strRefusal;  // empty: accepted
  };
  const QString strRange = QStringLiteral("Please enter an integer between 1 and 65535.");
  const sRow aRows[] = {
      {"port", QStringLiteral("8081"), {}},
      {"port", QStringLiteral("65535"), {}},
      {"port", QStringLiteral("1"), {}},
      {"port", QStringLiteral("0"), strRange},
      {"port", QStringLiteral("65536"), strRange},
      {"port", QStringLiteral("99999999999"), strRange},
      {"port", QString(), QStringLiteral("Please enter an integer.")},
      {"address", QStringLiteral("caf\u00E9-1234"), {}},
      {"address", QStringLiteral("\u0417K7-1234"),
       QStringLiteral("Device Address: only characters of the Western European (Latin-1) set can be sent to the module.")},
      {"user", QStringLiteral("op\u20AC"),
       QStringLiteral("User Name: only characters of the Western European (Latin-1) set can be sent to the module.")},
      {"password", QStringLiteral("\U0001F511"),
       QStringLiteral("Password: only characters of the Western European (Latin-1) set can be sent to the module.")},
  };
  for (const sRow& row : aRows) {
    const QString strRow = QStringLiteral("%1 \"%2\"").arg(QLatin1String(row.pszField), row.strText);
    CEditCommDlg dlg(m_pMain.get());
    dlg.m_nPort = 80;
    CModalAnswerer user;
    user.Then([&user, &row](QWidget* pModal) {
      pModal->findChild<QLineEdit*>(QLatin1String(row.pszField))->setText(row.strText);
      user.Click(pModal, QStringLiteral("OK"));
    });
    if (!row.strRefusal.isEmpty()) {
      user.ThenMessage(row.strRefusal);
      user.Then([&user, &row](QWidget* pModal) {
        // Still open, the field at fault has the focus.
        user.Check(qobject_cast<CEditCommDlg*>(pModal) != nullptr, QStringLiteral("the dialog stays open"));
        user.Compare(pModal->focusWidget() ? pModal->focusWidget()->objectName() : QString(),
                     QLatin1String(row.pszField), QStringLiteral("focus"));
        user.Click(pModal, QStringLiteral("Cancel"));
      });
    }
    const int nResult = dlg.exec();
    user.Stop();
    QVERIFY2(user.Errors().isEmpty(), qPrintable(strRow + QLatin1Char(' ') + user.Errors().join(QLatin1Char('\n'))));
    QVERIFY2(user.PendingSteps() == 0, qPrintable(strRow));
    QVERIFY2((nResult == QDialog::Accepted) == row.strRefusal.isEmpty(), qPrintable(strRow));
    if (nResult == QDialog::Accepted && QLatin1String(row.pszField) == QLatin1String("port"))
      QCOMPARE(dlg.m_nPort, row.strText.toInt());
  }
}

// The link waits on a module that does not answer; the window's event loop goes
// on (a timer keeps firing) and Cancel ends the command without a message.
void InstrumentWorkflowTest::WindowRunsAndCancelActsDuringStalledRequests() {
  struct sRow {
    const char* pszName;
    const char* pszFault;
    bool bDownload;      // else send a configuration
    QString strWaitTitle;  // of the wait dialog to cancel; empty: the one after the login
  };
  const sRow aRows[] = {
      // A cancelled login opens the connect dialog again, without a message.
      {"login", "stall=30000@key", false, QStringLiteral("Please wait...")},
      {"listing", "stall=30000@list", true, QStringLiteral("Asking instrument '127.0.0.1'")},
      {"file", "stall=30000@block", true, QStringLiteral("Download files from '127.0.0.1'")},
      // A long file from a slow module: its second block comes one byte at a time.
      {"dripping file", "drip=20@block#2", true, QStringLiteral("Download files from '127.0.0.1'")},
      {"status", "stall=30000@status", false, QString()},
  };
  WriteFileText(Root() / "logs" / "long.log", Pattern(200000, "long"));
  for (const sRow& row : aRows) {
    m_sim.Stop();
    StartSim({"--fault", row.pszFault});
    StorePort();
    CModalAnswerer user;
    user.Then(Login(user));
    if (row.bDownload && row.strWaitTitle.startsWith(QLatin1String("Download")))
      user.Then(Select(user, {{"Glogal Logs"}}));
    const bool bLogin = QLatin1String(row.pszName) == QLatin1String("login");
    if (bLogin)
      user.Then([&user](QWidget* pModal) {
        user.Check(qobject_cast<CEditCommDlg*>(pModal) != nullptr, QStringLiteral("the connect dialog again"));
        user.Click(pModal, QStringLiteral("Cancel"));
      });

    // A user who waits half a second in front of the stalled request, then cancels.
    int nTicks = 0;
    int nTicksWhileStalled = -1;
    QElapsedTimer seen;
    QElapsedTimer sinceCancel;
    QPointer<CWaitDialog> pCancelled;
    qint64 nClosedMs = -1;  // from Cancel to the wait dialog's closing, within a tick
    QTimer ticker;
    connect(&ticker, &QTimer::timeout, this, [&] {
      ++nTicks;
      if (sinceCancel.isValid()) {
        if (nClosedMs < 0 && (!pCancelled || !pCancelled->isVisible())) nClosedMs = sinceCancel.elapsed();
        return;
      }
      CWaitDialog* pWait = nullptr;
      for (QWidget* p : QApplication::topLevelWidgets())
        if (auto* pDlg = qobject_cast<CWaitDialog*>(p); pDlg && pDlg->isVisible()) pWait = pDlg;
      const bool bTarget = pWait && (row.strWaitTitle.isEmpty() ? m_pCommands->IsLogged()
                                                                 : pWait->windowTitle() == row.strWaitTitle);
      if (!bTarget) return;
      if (!seen.isValid()) {
        seen.start();
        nTicksWhileStalled = nTicks;
      } else if (seen.elapsed() >= 500) {
        nTicksWhileStalled = nTicks - nTicksWhileStalled;
        pCancelled = pWait;
        sinceCancel.start();
        pWait->GetCancelButton()->click();
      }
    });
    ticker.start(10);
    if (row.bDownload)
      m_pCommands->OnDownloadFiles();
    else
      m_pCommands->OnSendConfiguration();
    const qint64 nCancelMs = sinceCancel.isValid() ? sinceCancel.elapsed() : -1;
    ticker.stop();
    // Closed at the latest when the command returned.
    if (nClosedMs < 0 && nCancelMs >= 0 && (!pCancelled || !pCancelled->isVisible())) nClosedMs = nCancelMs;
    qInfo("%s: %d timer ticks in 500 ms of stall; Cancel to the wait dialog closed: %lld ms, to the end of the "
          "command: %lld ms",
          row.pszName, nTicksWhileStalled, static_cast<long long>(nClosedMs), static_cast<long long>(nCancelMs));
    QVERIFY2(nCancelMs >= 0 && nClosedMs >= 0, row.pszName);
    // The stall lasts 30 s: ending well before proves Cancel acted.
    QVERIFY2(nCancelMs < 10000, row.pszName);
    QVERIFY2(nTicksWhileStalled >= 5, row.pszName);
    // No message after Cancel, no question, no summary.
    Finish(user);
    for (QWidget* p : QApplication::topLevelWidgets())
      QVERIFY2(!qobject_cast<CWaitDialog*>(p) || !p->isVisible(), row.pszName);
    // The command's own connection is closed; a cancelled login leaves its link, not logged in.
    QVERIFY(bLogin ? !m_pCommands->IsLogged() : m_pCommands->GetDevice() == nullptr);
    // A file cancelled in its middle leaves nothing behind, not even its temporary file.
    std::error_code ec;
    QVERIFY2(!fs::exists(Destination() / "logs") || fs::is_empty(Destination() / "logs", ec), row.pszName);
  }
}

// Five attempts per file, and the refusal's text, are proven on the download
// itself; here the window shows the link's refusal and goes no further.
void InstrumentWorkflowTest::ListingRefusedFiveTimesShowsTheLinkErrorAndNoSelection() {
  StartSim({"--fault", "refuse=Busy@list"});
  StorePort();
  CModalAnswerer user;
  user.Then(Login(user));
  user.ThenMessage(QStringLiteral("Request status Error: Busy"));
  m_pCommands->OnDownloadFiles();
  Finish(user);
  QCOMPARE(CountRequests("device=\"configs\""), 5);
  QCOMPARE(CountRequests("device=\"logs\""), 0);
  // The command connected, so it disconnected at its end.
  QVERIFY(m_pCommands->GetDevice() == nullptr);
}

void InstrumentWorkflowTest::TreeShowsCategoriesDirectoriesAndEmptyAbsentDevices() {
  WriteFileText(Root() / "internal" / "top.zk", Pattern(1000, "top"));
  WriteFileText(Root() / "internal" / "run1" / "inner.log", Pattern(70000, "inner"));
  WriteFileText(Root() / "internal" / "run1" / "notes.txt", Pattern(5, "notes"));
  WriteFileText(Root() / "configs" / "plant.xml", Pattern(300, "plant"));
  StartSim();
  StorePort();
  CModalAnswerer user;
  user.Then(Login(user));
  user.Then([&user, this](QWidget* pModal) {
    auto* pDlg = qobject_cast<CDlgFilesSel*>(pModal);
    user.Check(pDlg != nullptr, QStringLiteral("the selection dialog"));
    if (!pDlg) return;
    user.Compare(pDlg->windowTitle(), QStringLiteral("Download files from '127.0.0.1'"), QStringLiteral("title"));
    user.Compare(pDlg->DestinationEdit()->text(), QString::fromStdString(Destination().string()),
                 QStringLiteral("default destination"));
    QTreeWidget* pTree = pDlg->Tree();
    QStringList aTop;
    for (int i = 0; i < pTree->topLevelItemCount(); ++i) {
      aTop << pTree->topLevelItem(i)->text(0);
      user.Check(pTree->topLevelItem(i)->font(0).bold(), QStringLiteral("bold category"));
    }
    user.Compare(aTop.join(QLatin1Char('|')),
                 QStringLiteral("Configurations|Glogal Logs|internal flash|USB key|SD Card"),
                 QStringLiteral("categories"));
    user.Compare(pTree->topLevelItem(3)->childCount(), 0, QStringLiteral("USB key is empty"));
    user.Compare(pTree->topLevelItem(4)->childCount(), 0, QStringLiteral("SD Card is empty"));
    QTreeWidgetItem* pInternal = pTree->topLevelItem(2);
    QTreeWidgetItem* pTopFile = FindChildItem(pInternal, QStringLiteral("top.zk (1000 bytes)"));
    user.Check(pTopFile != nullptr, QStringLiteral("the unnamed directory's file under its category"));
    QTreeWidgetItem* pRun = FindChildItem(pInternal, QStringLiteral("run1"));
    user.Check(pRun && pRun->font(0).bold() && pRun->isExpanded(), QStringLiteral("bold, expanded directory"));
    if (!pTopFile || !pRun) return pDlg->reject();
    user.Compare(pTopFile->font(0).bold(), false, QStringLiteral("file not bold"));
    user.Compare(pTopFile->data(0, CDlgFilesSel::ROLE_IMAGE).toInt(), int(FILE_TREE_IMAGE_RESULTS),
                 QStringLiteral("results image"));
    QTreeWidgetItem* pLog = FindChildItem(pRun, QStringLiteral("inner.log (70000 bytes)"));
    QTreeWidgetItem* pTxt = FindChildItem(pRun, QStringLiteral("notes.txt (5 bytes)"));
    user.Check(pLog && pTxt, QStringLiteral("files of run1"));
    if (pLog) user.Compare(pLog->data(0, CDlgFilesSel::ROLE_IMAGE).toInt(), int(FILE_TREE_IMAGE_LOG), "log image");
    if (pTxt) user.Compare(pTxt->data(0, CDlgFilesSel::ROLE_IMAGE).toInt(), int(FILE_TREE_IMAGE_OTHER), "other image");
    // Ticking the category ticks everything under it.
    pInternal->setCheckState(0, Qt::Checked);
    QCoreApplication::sendPostedEvents(pDlg);
    if (pTxt) user.Compare(int(pTxt->checkState(0)), int(Qt::Checked), QStringLiteral("ticked with its category"));
    user.Click(pDlg, QStringLiteral("Download"));
  });
  user.ThenMessage(QStringLiteral("3 files have been dowloaded.\nDo you want to open one of the loaded files ?"),
                   QStringLiteral("&No"));
  m_pCommands->OnDownloadFiles();
  Finish(user);
  QCOMPARE(ReadFileText(Destination() / "internal" / "top.zk"), Pattern(1000, "top"));
  QCOMPARE(ReadFileText(Destination() / "internal" / "run1" / "inner.log"), Pattern(70000, "inner"));
  QCOMPARE(ReadFileText(Destination() / "internal" / "run1" / "notes.txt"), Pattern(5, "notes"));
  QVERIFY(!fs::exists(Destination() / "configs" / "plant.xml"));
  QVERIFY(m_aOpened.isEmpty());
}

void InstrumentWorkflowTest::ThreeFilesGiveRangeZeroToSixAndPositionsForEachFile() {
  const char* const aNames[] = {"a.log", "b.log", "c.log"};
  for (const char* psz : aNames) {
    WriteFileText(Root() / "logs" / psz, Pattern(100, psz));
    WriteFileText(Destination() / "logs" / psz, "old");
  }
  StartSim();
  StorePort();
  CModalAnswerer user;
  user.Then(Login(user));
  user.Then(Select(user, {{"Glogal Logs"}}));
  QStringList aProgress;
  for (int i = 0; i < 3; ++i) {
    user.Then([&user, &aProgress, this](QWidget* pModal) {
      auto* pDlg = qobject_cast<C5ButtonsDialog*>(pModal);
      user.Check(pDlg != nullptr, QStringLiteral("the replace question"));
      if (!pDlg) return;
      auto* pWait = qobject_cast<CWaitDialog*>(pDlg->parentWidget());
      user.Check(pWait != nullptr, QStringLiteral("asked over the wait dialog"));
      user.Check(!m_pMain->isEnabled(), QStringLiteral("main window disabled while downloading"));
      user.Check(pDlg->m_strMessage.endsWith(QStringLiteral(".log'\n\n This file already exists. Do you want to replace it ?")),
                 pDlg->m_strMessage);
      if (pWait)
        aProgress << QStringLiteral("%1/%2 %3 %4")
                         .arg(pWait->GetProgressBar()->value())
                         .arg(pWait->GetProgressBar()->maximum())
                         .arg(pWait->GetStatusText(), pWait->windowTitle());
      user.Click(pDlg, QStringLiteral("&Yes"));
    });
  }
  user.ThenMessage(QStringLiteral("3 files have been dowloaded.\nDo you want to open one of the loaded files ?"),
                   QStringLiteral("&No"));
  CWaitTitles titles;
  m_pCommands->OnDownloadFiles();
  Finish(user);
  // The login's wait dialog, the listing's, the download's.
  QCOMPARE(titles.m_aTitles, QStringList({QStringLiteral("Please wait..."), QStringLiteral("Please wait..."),
                                          QStringLiteral("Asking instrument '127.0.0.1'"),
                                          QStringLiteral("Please wait..."),
                                          QStringLiteral("Download files from '127.0.0.1'")}));
  QCOMPARE(aProgress, QStringList({
                          QStringLiteral("1/6 : a.log (100 bytes) Download files from '127.0.0.1'"),
                          QStringLiteral("3/6 : b.log (100 bytes) Download files from '127.0.0.1'"),
                          QStringLiteral("5/6 : c.log (100 bytes) Download files from '127.0.0.1'"),
                      }));
  for (const char* psz : aNames) QCOMPARE(ReadFileText(Destination() / "logs" / psz), Pattern(100, psz));
}

void InstrumentWorkflowTest::CancelInTheWaitDialogStopsBeforeTheNextFile() {
  WriteFileText(Root() / "logs" / "a.log", Pattern(10, "a"));
  WriteFileText(Root() / "logs" / "b.log", Pattern(10, "b"));
  WriteFileText(Destination() / "logs" / "a.log", "old");
  StartSim();
  StorePort();
  CModalAnswerer user;
  user.Then(Login(user));
  user.Then(Select(user, {{"Glogal Logs"}}));
  user.Then([&user](QWidget* pModal) {
    auto* pDlg = qobject_cast<C5ButtonsDialog*>(pModal);
    user.Check(pDlg != nullptr, QStringLiteral("the replace question"));
    if (!pDlg) return;
    user.Compare(pDlg->m_strMessage.startsWith(QStringLiteral(" '")), true, QStringLiteral("question text"));
    // The user presses Cancel in the wait dialog, then answers the question.
    if (auto* pWait = qobject_cast<CWaitDialog*>(pDlg->parentWidget())) pWait->GetCancelButton()->click();
    user.Click(pDlg, QStringLiteral("&Yes"));
  });
  m_pCommands->OnDownloadFiles();
  Finish(user);
  // The file being asked about arrived; the next one was not started and no summary came.
  QCOMPARE(ReadFileText(Destination() / "logs" / "a.log"), Pattern(10, "a"));
  QVERIFY(!fs::exists(Destination() / "logs" / "b.log"));
  QCOMPARE(CountRequests("b.log"), 0);
}

void InstrumentWorkflowTest::ConfigurationFilesOnlyEndWithoutTheOpenQuestion() {
  WriteFileText(Root() / "configs" / "only.xml", Pattern(20, "only"));
  WriteFileText(Root() / "logs" / "not.log", Pattern(20, "not"));
  StartSim();
  StorePort();
  CModalAnswerer user;
  user.Then(Login(user));
  user.Then(Select(user, {{"Configurations"}}));
  user.Then([&user](QWidget* pModal) {
    auto* pBox = qobject_cast<QMessageBox*>(pModal);
    user.Check(pBox != nullptr, QStringLiteral("the summary"));
    if (!pBox) return;
    user.Compare(pBox->text(), QStringLiteral("One file has been loaded."), QStringLiteral("summary"));
    user.Compare(int(pBox->icon()), int(QMessageBox::Information), QStringLiteral("information icon"));
    user.Check(FindDialogButton(pBox, QStringLiteral("&Yes")) == nullptr, QStringLiteral("no question"));
    user.Click(pBox, QStringLiteral("OK"));
  });
  m_pCommands->OnDownloadFiles();
  Finish(user);
  QCOMPARE(ReadFileText(Destination() / "configs" / "only.xml"), Pattern(20, "only"));
  QVERIFY(m_aOpened.isEmpty());
}

void InstrumentWorkflowTest::ResultsAndLogFilesLeadToTheFileDialog() {
  WriteFileText(Root() / "internal" / "r1" / "first.zk", Pattern(40, "first"));
  WriteFileText(Root() / "internal" / "r2" / "second.zk", Pattern(40, "second"));
  WriteFileText(Root() / "logs" / "events.log", Pattern(40, "events"));
  StartSim();
  StorePort();
  const fs::path first = Destination() / "logs" / "events.log";
  CModalAnswerer user;
  user.Then(Login(user));
  user.Then(Select(user, {{"Glogal Logs"}, {"internal flash"}}));
  user.ThenMessage(QStringLiteral("3 files have been dowloaded.\nDo you want to open one of the loaded files ?"),
                   QStringLiteral("&Yes"));
  user.Then([&user, first, this](QWidget* pModal) {
    auto* pDlg = qobject_cast<QFileDialog*>(pModal);
    user.Check(pDlg != nullptr, QStringLiteral("the file dialog"));
    if (!pDlg) return;
    // It starts at the first results or log file, in category order.
    user.Compare(pDlg->directory().absolutePath(), QString::fromStdString(first.parent_path().string()),
                 QStringLiteral("folder"));
    user.Compare(pDlg->selectedFiles().value(0), QString::fromStdString(first.string()), QStringLiteral("file"));
    user.Compare(pDlg->nameFilters().join(QLatin1Char('|')),
                 QStringLiteral("ZK7 results files (*.zk)|ZK7 log files (*.log)"), QStringLiteral("filters"));
    user.Check(AnswerFileDialog(pDlg, QString::fromStdString((Destination() / "internal" / "r2" / "second.zk").string())),
               QStringLiteral("file name field"));
  });
  m_pCommands->OnDownloadFiles();
  Finish(user);
  QCOMPARE(m_aOpened, QStringList({QString::fromStdString((Destination() / "internal" / "r2" / "second.zk").string())}));
}

void InstrumentWorkflowTest::SingleResultsFileOpensDirectly() {
  WriteFileText(Root() / "internal" / "one.zk", Pattern(40, "one"));
  WriteFileText(Root() / "configs" / "c.xml", Pattern(40, "c"));
  StartSim();
  StorePort();
  CModalAnswerer user;
  user.Then(Login(user));
  user.Then(Select(user, {{"Configurations"}, {"internal flash"}}));
  user.ThenMessage(QStringLiteral("2 files have been dowloaded.\nDo you want to open it ?"), QStringLiteral("&Yes"));
  m_pCommands->OnDownloadFiles();
  Finish(user);
  QCOMPARE(m_aOpened, QStringList({QString::fromStdString((Destination() / "internal" / "one.zk").string())}));
}

void InstrumentWorkflowTest::DecliningToStopEndsBeforeTheFileDialog() {
  StartSim({"--period", "50"});
  StorePort();
  auto other = OtherClient();
  QVERIFY(other);
  QCOMPARE(other->SetAcquisition(1, 2), 0);
  CModalAnswerer user;
  user.Then(Login(user));
  user.Then([&user](QWidget* pModal) {
    auto* pBox = qobject_cast<QMessageBox*>(pModal);
    user.Check(pBox != nullptr, QStringLiteral("the stop question"));
    if (!pBox) return;
    user.Compare(pBox->text(), QString::fromLatin1(ZK7_MSG_STOP_RUNNING), QStringLiteral("question"));
    user.Compare(int(pBox->icon()), int(QMessageBox::NoIcon), QStringLiteral("no icon"));
    user.Click(pBox, QStringLiteral("&No"));
  });
  m_pCommands->OnSendConfiguration();
  Finish(user);
  int bRunning = 0;
  QCOMPARE(other->ReadAcquisitionStatus(bRunning), 0);
  QCOMPARE(bRunning, 1);
  QCOMPARE(CountRequests("<stop"), 0);
  QVERIFY(m_pCommands->GetDevice() == nullptr);
  other->SetAcquisition(0, 0);
}

void InstrumentWorkflowTest::ConfigurationWithoutSessionIsRefusedBeforeSending() {
  StartSim();
  StorePort();
  const fs::path bad = Temp() / "bad config.xml";
  WriteFileText(bad, "<?xml version=\"1.0\"?><fieldacq><channels/></fieldacq>");
  CModalAnswerer user;
  user.Then(Login(user));
  user.Then([&user, bad](QWidget* pModal) {
    auto* pDlg = qobject_cast<QFileDialog*>(pModal);
    user.Check(pDlg != nullptr, QStringLiteral("the file dialog"));
    if (!pDlg) return;
    user.Compare(pDlg->windowTitle(), QStringLiteral("Select configuration file to send"), QStringLiteral("title"));
    user.Compare(pDlg->nameFilters().join(QLatin1Char('|')), QStringLiteral("ZK7 XML configuration files (*.xml)"),
                 QStringLiteral("filter"));
    user.Compare(pDlg->defaultSuffix(), QStringLiteral("xml"), QStringLiteral("default extension"));
    user.Check(AnswerFileDialog(pDlg, QString::fromStdString(bad.string())), QStringLiteral("file name field"));
  });
  user.ThenMessage(QStringLiteral("'%1': Wrong configuration file. No <session> element").arg(QString::fromStdString(bad.string())));
  m_pCommands->OnSendConfiguration();
  Finish(user);
  QCOMPARE(CountRequests("<save"), 0);
  QCOMPARE(CountRequests("read-status"), 1);
}

void InstrumentWorkflowTest::StopSendAndStartInAppendMode() {
  StartSim({"--period", "50"});
  StorePort();
  auto other = OtherClient();
  QVERIFY(other);
  QCOMPARE(other->SetAcquisition(1, 2), 0);
  const fs::path config = Temp() / "Plant A.old.xml";
  WriteFileText(config, "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><fieldacq><session><channels/></session></fieldacq>");
  CModalAnswerer user;
  user.Then(Login(user));
  user.ThenMessage(QString::fromLatin1(ZK7_MSG_STOP_RUNNING), QStringLiteral("&Yes"));
  user.Then([&user, config](QWidget* pModal) {
    auto* pDlg = qobject_cast<QFileDialog*>(pModal);
    user.Check(pDlg && AnswerFileDialog(pDlg, QString::fromStdString(config.string())), QStringLiteral("file dialog"));
  });
  user.ThenMessage(QString::fromLatin1(ZK7_MSG_CONFIG_SENT), QStringLiteral("&Yes"));
  user.ThenMessage(QStringLiteral("Acquisition is running."));
  m_pCommands->OnSendConfiguration();
  Finish(user);
  QVERIFY(fs::exists(Root() / "configs" / "Plant A.xml"));
  QCOMPARE(CountRequests("data=\"append\""), 2);  // the other client's start, then ours
  int bRunning = 0;
  QCOMPARE(other->ReadAcquisitionStatus(bRunning), 0);
  QCOMPARE(bRunning, 1);
  other->SetAcquisition(0, 0);
}

QTEST_MAIN(InstrumentWorkflowTest)
#include "InstrumentWorkflowTest.moc"
