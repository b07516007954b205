// The instrument commands against zk7-sim in its own process: connect, download
// files, send a configuration, answered by a scripted user. The download's and
// the link's rules are proven in the tools tests; here each reaches the window.
#include <QElapsedTimer>
#include <QFileDialog>
#include <QMainWindow>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>
#include <filesystem>

#include "InstrumentTestSupport.h"
#include "link/ZK7Dev.h"
#include "settings/ConnectionSettings.h"
#include "settings/SettingsStore.h"
#include "ui/dialogs/5ButtonsDialog.h"
#include "workflows/InstrumentCommands.h"
#include "workflows/SendConfiguration.h"

using namespace zk7;
namespace fs = std::filesystem;

namespace {
QString Q(const fs::path& path) { return QString::fromStdString(path.string()); }
}  // namespace

class InstrumentWorkflowTest : public QObject {
  Q_OBJECT

private slots:
  void initTestCase();
  void cleanupTestCase();
  void init();
  void cleanup();

  void ConnectDialogOnFirstUseAndTheSettingsItWrites();
  void WrongPasswordShowsRefusalAndKeepsAddressAndUser();
  void PortAndTextFieldsAcceptWhatCanBeSentOnly();
  void WindowRunsAndCancelActsDuringStalledRequests();
  void ListingRefusedShowsTheLinkErrorAndNoSelection();
  void TreeShowsCategoriesDirectoriesAndEmptyAbsentDevices();
  void ReplaceQuestionOverTheWaitDialogAndCancelBeforeTheNextFile();
  void TheSummaryLeadsToWhatCanBeOpened();
  void SendConfigurationPaths();

private:
  fs::path Root() const { return m_pSim->Root(); }
  // A home whose name is not plain ASCII: local paths are shown as the file system spells them.
  fs::path Home() const { return m_pSim->Temp() / "h\xC3\xB4me"; }
  fs::path Destination() const { return Home() / "Documents" / "ZK7" / "127.0.0.1"; }
  std::unique_ptr<ISettingsStore> Store() const { return CreateIniSettingsStore((m_pSim->Temp() / "settings.ini").string()); }
  // (Re)starts the module; the stored port points at it, as after an edit of the settings store.
  void StartSim(const std::vector<std::string>& aArgs = {}) {
    std::string strError;
    QVERIFY2(m_pSim->Start(aArgs, strError), strError.c_str());
    Store()->WriteInt(CONNECTION_SECTION, CONNECTION_KEY_PORT, m_pSim->Port());
  }
  // Answers the file dialog with strPath after fnCheck has looked at it.
  static CModalAnswerer::Step FileStep(CModalAnswerer& user, const fs::path& path,
                                       std::function<void(QFileDialog*)> fnCheck = {}) {
    return [&user, path, fnCheck](QWidget* pModal) {
      auto* pDlg = qobject_cast<QFileDialog*>(pModal);
      if (!pDlg) return user.Fail(QStringLiteral("expected a file dialog, got ") + GetDialogText(pModal));
      if (fnCheck) fnCheck(pDlg);
      user.Check(AnswerFileDialog(pDlg, Q(path)), QStringLiteral("file name field"));
    };
  }
  void Finish(CModalAnswerer& user) {
    user.Stop();
    QVERIFY2(user.AllAnswered(), qPrintable(user.Report()));
    // Every wait dialog has given the main window back its input.
    QVERIFY(m_pMain->isEnabled());
  }

  std::string m_strConfig;
  std::unique_ptr<CModuleSim> m_pSim;
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
  m_pSim = std::make_unique<CModuleSim>();
  // The default destination lies in the documents folder of this home.
  qputenv("HOME", QByteArray::fromStdString(Home().string()));
  // A file dialog without a folder of its own lists the current one.
  QDir::setCurrent(Q(m_pSim->Temp()));
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
  QDir::setCurrent(QDir::tempPath());
  m_pSim.reset();
}

void InstrumentWorkflowTest::ConnectDialogOnFirstUseAndTheSettingsItWrites() {
  CModalAnswerer user;
  user.Then([&user](QWidget* pModal) {
    auto* pDlg = qobject_cast<CEditCommDlg*>(pModal);
    if (!pDlg) return user.Fail(QStringLiteral("expected the connect dialog"));
    user.Compare(pDlg->windowTitle(), QStringLiteral("Connecting to device"), QStringLiteral("title"));
    auto* pPort = pDlg->findChild<QLineEdit*>(QStringLiteral("port"));
    user.Compare(pPort->text(), QStringLiteral("80"), QStringLiteral("port"));
    user.Check(pPort->isEnabled() && !pPort->isReadOnly(), QStringLiteral("the port can be typed"));
    for (const char* psz : {"address", "user"})
      user.Compare(pDlg->findChild<QLineEdit*>(QLatin1String(psz))->text(), QString(), QLatin1String(psz));
    user.Compare(int(pDlg->findChild<QLineEdit*>(QStringLiteral("password"))->echoMode()), int(QLineEdit::Password),
                 QStringLiteral("password masked"));
    user.Click(pDlg, QStringLiteral("Cancel"));
  });
  m_pCommands->OnDownloadFiles();
  Finish(user);
  QVERIFY(m_pCommands->GetDevice() == nullptr);
  QVERIFY(m_pCommands->OnUpdateConnect() && !m_pCommands->OnUpdateDisconnect());

  // The port typed in the dialog, the address and the user are stored; the password never.
  StartSim();
  Store()->WriteInt(CONNECTION_SECTION, CONNECTION_KEY_PORT, 70000);
  CModalAnswerer again;
  again.ThenClick(QStringLiteral("OK"));
  again.ThenMessage(QStringLiteral("Please enter an integer between 1 and 65535."));  // the stored port is out of range
  again.Then(LoginStep(again, QLatin1String(CModuleSim::kPassword), m_pSim->Port()));
  m_pCommands->OnConnect();
  Finish(again);
  QVERIFY(m_pCommands->IsLogged() && !m_pCommands->OnUpdateConnect() && m_pCommands->OnUpdateDisconnect());
  const sConnectionSettings stored = ReadConnectionSettings(*Store());
  QCOMPARE(stored.m_strAddress, std::string("127.0.0.1"));
  QCOMPARE(stored.m_strUser, std::string(CModuleSim::kUser));
  QCOMPARE(stored.m_nPort, m_pSim->Port());
  QVERIFY(ReadFileText(m_pSim->Temp() / "settings.ini").find("s3cret") == std::string::npos);
  m_pCommands->OnDisconnect();
  QVERIFY(m_pCommands->GetDevice() == nullptr);
}

void InstrumentWorkflowTest::WrongPasswordShowsRefusalAndKeepsAddressAndUser() {
  StartSim();
  CModalAnswerer user;
  user.Then(LoginStep(user, QStringLiteral("wrong")));
  user.ThenMessage(QStringLiteral("Request status Error: Invalid user name or password"));
  user.Then([&user](QWidget* pModal) {
    if (!qobject_cast<CEditCommDlg*>(pModal)) user.Fail(QStringLiteral("expected the connect dialog again"));
    user.Compare(pModal->findChild<QLineEdit*>(QStringLiteral("address"))->text(), QStringLiteral("127.0.0.1"), "address");
    user.Compare(pModal->findChild<QLineEdit*>(QStringLiteral("user"))->text(), QLatin1String(CModuleSim::kUser), "user");
    user.Click(pModal, QStringLiteral("Cancel"));
  });
  m_pCommands->OnConnect();
  Finish(user);
  // The failed link stays, not logged in; nothing was written.
  QVERIFY(m_pCommands->GetDevice() != nullptr && !m_pCommands->IsLogged());
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

void InstrumentWorkflowTest::PortAndTextFieldsAcceptWhatCanBeSentOnly() {
  const QString strRange = QStringLiteral("Please enter an integer between 1 and 65535.");
  const QString strLatin1 = QStringLiteral(": only characters of the Western European (Latin-1) set can be sent to the module.");
  const struct {
    const char* pszField;
    QString strText;
    QString strRefusal;  // empty: accepted
  } aRows[] = {
      {"port", QStringLiteral("65535"), {}},
      {"port", QStringLiteral("1"), {}},
      {"port", QStringLiteral("0"), strRange},
      {"port", QStringLiteral("65536"), strRange},
      {"port", QStringLiteral("99999999999"), strRange},
      {"port", QString(), QStringLiteral("Please enter an integer.")},
      {"address", QStringLiteral("caf\u00E9-1234"), {}},
      {"address", QStringLiteral("\u0417K7-1234"), QStringLiteral("Device Address") + strLatin1},
      {"user", QStringLiteral("op\u20AC"), QStringLiteral("User Name") + strLatin1},
      {"password", QStringLiteral("\U0001F511"), QStringLiteral("Password") + strLatin1},
  };
  for (const auto& row : aRows) {
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
    QVERIFY2(user.AllAnswered(), qPrintable(strRow + QLatin1Char(' ') + user.Report()));
    QVERIFY2((nResult == QDialog::Accepted) == row.strRefusal.isEmpty(), qPrintable(strRow));
    if (nResult == QDialog::Accepted && QLatin1String(row.pszField) == QLatin1String("port"))
      QCOMPARE(dlg.m_nPort, row.strText.toInt());
  }
}

// The link waits on a module that does not answer; the window's event loop goes
// on (a timer keeps firing) and Cancel ends the command without a message.
void InstrumentWorkflowTest::WindowRunsAndCancelActsDuringStalledRequests() {
  const struct {
    const char* pszName;
    const char* pszFault;
    bool bDownload;        // else send a configuration
    QString strWaitTitle;  // of the wait dialog to cancel; empty: the one after the login
  } aRows[] = {
      // A cancelled login opens the connect dialog again, without a message.
      {"login", "stall=30000@key", false, QStringLiteral("Please wait...")},
      {"listing", "stall=30000@list", true, QStringLiteral("Asking instrument '127.0.0.1'")},
      {"file", "stall=30000@block", true, QStringLiteral("Download files from '127.0.0.1'")},
      // A long file from a slow module: its second block comes one byte at a time.
      {"dripping file", "drip=20@block#2", true, QStringLiteral("Download files from '127.0.0.1'")},
      {"status", "stall=30000@status", false, QString()},
  };
  WriteFileText(Root() / "logs" / "long.log", Pattern(200000, "long"));
  for (const auto& row : aRows) {
    StartSim({"--fault", row.pszFault});
    const bool bLogin = QLatin1String(row.pszName) == QLatin1String("login");
    CModalAnswerer user;
    user.Then(LoginStep(user));
    if (row.strWaitTitle.startsWith(QLatin1String("Download"))) user.Then(SelectStep(user, {{"Glogal Logs"}}));
    if (bLogin) user.ThenClick(QStringLiteral("Cancel"));

    // A user who waits half a second in front of the stalled request, then cancels.
    int nTicks = 0, nTicksWhileStalled = -1;
    QElapsedTimer seen, sinceCancel;
    CWaitWatch watch([&](CWaitDialog* pWait) {
      ++nTicks;
      if (sinceCancel.isValid() || !pWait ||
          !(row.strWaitTitle.isEmpty() ? m_pCommands->IsLogged() : pWait->windowTitle() == row.strWaitTitle))
        return;
      if (!seen.isValid()) {
        seen.start();
        nTicksWhileStalled = nTicks;
      } else if (seen.elapsed() >= 500) {
        nTicksWhileStalled = nTicks - nTicksWhileStalled;
        sinceCancel.start();
        pWait->GetCancelButton()->click();
      }
    });
    if (row.bDownload)
      m_pCommands->OnDownloadFiles();
    else
      m_pCommands->OnSendConfiguration();
    // The stall lasts 30 s: ending well before proves Cancel acted.
    QVERIFY2(sinceCancel.isValid() && sinceCancel.elapsed() < 10000, row.pszName);
    QVERIFY2(nTicksWhileStalled >= 5, row.pszName);
    // No message after Cancel, no question, no summary.
    Finish(user);
    QVERIFY2(!CWaitWatch::Visible(), row.pszName);
    // The command's own connection is closed; a cancelled login leaves its link, not logged in.
    QVERIFY(bLogin ? !m_pCommands->IsLogged() : m_pCommands->GetDevice() == nullptr);
    // A file cancelled in its middle leaves nothing behind, not even its temporary file.
    std::error_code ec;
    QVERIFY2(!fs::exists(Destination() / "logs") || fs::is_empty(Destination() / "logs", ec), row.pszName);
  }
}

void InstrumentWorkflowTest::ListingRefusedShowsTheLinkErrorAndNoSelection() {
  StartSim({"--fault", "refuse=Busy@list"});
  CModalAnswerer user;
  user.Then(LoginStep(user));
  user.ThenMessage(QStringLiteral("Request status Error: Busy"));
  m_pCommands->OnDownloadFiles();
  Finish(user);
  QCOMPARE(m_pSim->CountRequests("device=\"configs\""), 5);
  QCOMPARE(m_pSim->CountRequests("device=\"logs\""), 0);
  // The command connected, so it disconnected at its end.
  QVERIFY(m_pCommands->GetDevice() == nullptr);
}

void InstrumentWorkflowTest::TreeShowsCategoriesDirectoriesAndEmptyAbsentDevices() {
  WriteFileText(Root() / "internal" / "top.zk", Pattern(1000, "top"));
  WriteFileText(Root() / "internal" / "run1" / "inner.log", Pattern(70000, "inner"));
  WriteFileText(Root() / "internal" / "run1" / "notes.txt", Pattern(5, "notes"));
  WriteFileText(Root() / "configs" / "plant.xml", Pattern(300, "plant"));
  StartSim();
  CModalAnswerer user;
  user.Then(LoginStep(user));
  // The tree's layout is proven on the dialog; here the module's listing reaches it.
  user.Then(SelectStep(user, {{"internal flash"}}, [&user, this](CDlgFilesSel* pDlg) {
    user.Compare(pDlg->windowTitle(), QStringLiteral("Download files from '127.0.0.1'"), QStringLiteral("title"));
    user.Compare(pDlg->DestinationEdit()->text(), Q(Destination()), QStringLiteral("default destination"));
    QStringList aTop;
    for (int i = 0; i < pDlg->Tree()->topLevelItemCount(); ++i)
      aTop << pDlg->Tree()->topLevelItem(i)->text(0) + QString(pDlg->Tree()->topLevelItem(i)->childCount(), QLatin1Char('+'));
    // Absent devices are empty; a file of the unnamed directory sits under its category.
    user.Compare(aTop.join(QLatin1Char('|')), QStringLiteral("Configurations+|Glogal Logs|internal flash++|USB key|SD Card"),
                 QStringLiteral("categories"));
    user.Check(FindItem(pDlg->Tree(), {QStringLiteral("internal flash"), QStringLiteral("top.zk (1000 bytes)")}) &&
                   FindItem(pDlg->Tree(), {QStringLiteral("internal flash"), QStringLiteral("run1"),
                                           QStringLiteral("inner.log (70000 bytes)")}),
               QStringLiteral("the files of the internal flash"));
  }));
  user.ThenMessage(QStringLiteral("3 files have been dowloaded.\nDo you want to open one of the loaded files ?"),
                   QStringLiteral("&No"));
  m_pCommands->OnDownloadFiles();
  Finish(user);
  // Ticking the category took everything under it, and nothing else.
  QCOMPARE(ReadFileText(Destination() / "internal" / "top.zk"), Pattern(1000, "top"));
  QCOMPARE(ReadFileText(Destination() / "internal" / "run1" / "inner.log"), Pattern(70000, "inner"));
  QCOMPARE(ReadFileText(Destination() / "internal" / "run1" / "notes.txt"), Pattern(5, "notes"));
  QVERIFY(!fs::exists(Destination() / "configs"));
  QVERIFY(m_aOpened.isEmpty());
}

void InstrumentWorkflowTest::ReplaceQuestionOverTheWaitDialogAndCancelBeforeTheNextFile() {
  WriteFileText(Root() / "logs" / "a.log", Pattern(100, "a"));
  WriteFileText(Root() / "logs" / "b.log", Pattern(100, "b"));
  WriteFileText(Destination() / "logs" / "a.log", "old");
  StartSim();
  CModalAnswerer user;
  user.Then(LoginStep(user));
  user.Then(SelectStep(user, {{"Glogal Logs"}}));
  user.Then([&user, this](QWidget* pModal) {
    auto* pDlg = qobject_cast<C5ButtonsDialog*>(pModal);
    auto* pWait = pDlg ? qobject_cast<CWaitDialog*>(pDlg->parentWidget()) : nullptr;
    if (!pWait) return user.Fail(QStringLiteral("expected the replace question over the wait dialog"));
    user.Check(!m_pMain->isEnabled(), QStringLiteral("main window disabled while downloading"));
    user.Compare(pDlg->m_strMessage, QStringLiteral(" '%1'\n\n This file already exists. Do you want to replace it ?")
                                         .arg(Q(Destination() / "logs" / "a.log")), QStringLiteral("question"));
    user.Compare(QStringLiteral("%1/%2 %3").arg(pWait->GetProgressBar()->value()).arg(pWait->GetProgressBar()->maximum())
                     .arg(pWait->GetStatusText()), QStringLiteral("1/4 : a.log (100 bytes)"), QStringLiteral("progress"));
    // The user presses Cancel in the wait dialog, then answers the question.
    pWait->GetCancelButton()->click();
    user.Click(pDlg, QStringLiteral("&Yes"));
  });
  CWaitWatch watch;
  m_pCommands->OnDownloadFiles();
  Finish(user);
  // The login's wait dialog, the listing's, the download's.
  QCOMPARE(watch.m_aTitles, QStringList({QStringLiteral("Please wait..."), QStringLiteral("Please wait..."),
                                         QStringLiteral("Asking instrument '127.0.0.1'"), QStringLiteral("Please wait..."),
                                         QStringLiteral("Download files from '127.0.0.1'")}));
  // The file being asked about arrived; the next one was not started and no summary came.
  QCOMPARE(ReadFileText(Destination() / "logs" / "a.log"), Pattern(100, "a"));
  QVERIFY(!fs::exists(Destination() / "logs" / "b.log"));
  QCOMPARE(m_pSim->CountRequests("b.log"), 0);
}

void InstrumentWorkflowTest::TheSummaryLeadsToWhatCanBeOpened() {
  WriteFileText(Root() / "configs" / "c.xml", Pattern(20, "c"));
  WriteFileText(Root() / "internal" / "r1" / "first.zk", Pattern(40, "first"));
  WriteFileText(Root() / "internal" / "r2" / "second.zk", Pattern(40, "second"));
  WriteFileText(Root() / "logs" / "events.log", Pattern(40, "events"));
  StartSim();
  const fs::path first = Destination() / "internal" / "r1" / "first.zk";
  const fs::path second = Destination() / "internal" / "r2" / "second.zk";
  const fs::path events = Destination() / "logs" / "events.log";
  const struct {
    const char* pszName;
    std::vector<QStringList> aPaths;
    QString strSummary;
    QString strButton;
    bool bFileDialog;
    QStringList aOpened;
  } aRows[] = {
      {"configurations only: no question", {{"Configurations"}}, QStringLiteral("One file has been loaded."),
       QStringLiteral("OK"), false, {}},
      {"one results file opens directly", {{"Configurations"}, {"internal flash", "r1"}},
       QStringLiteral("2 files have been dowloaded.\nDo you want to open it ?"), QStringLiteral("&Yes"), false, {Q(first)}},
      {"several: the file dialog", {{"Glogal Logs"}, {"internal flash"}},
       QStringLiteral("3 files have been dowloaded.\nDo you want to open one of the loaded files ?"), QStringLiteral("&Yes"),
       true, {Q(second)}},
  };
  for (const auto& row : aRows) {
    fs::remove_all(Destination());
    m_aOpened.clear();
    CModalAnswerer user;
    user.Then(LoginStep(user));
    user.Then(SelectStep(user, row.aPaths));
    user.ThenMessage(row.strSummary, row.strButton);
    // It starts at the first results or log file, in category order.
    if (row.bFileDialog)
      user.Then(FileStep(user, second, [&user, events](QFileDialog* pDlg) {
        user.Compare(pDlg->directory().absolutePath(), Q(events.parent_path()), QStringLiteral("folder"));
        user.Compare(pDlg->selectedFiles().value(0), Q(events), QStringLiteral("file"));
        user.Compare(pDlg->nameFilters().join(QLatin1Char('|')),
                     QStringLiteral("ZK7 results files (*.zk)|ZK7 log files (*.log)"), QStringLiteral("filters"));
      }));
    m_pCommands->OnDownloadFiles();
    Finish(user);
    QVERIFY2(m_aOpened == row.aOpened, row.pszName);
    if (!row.bFileDialog && row.aOpened.isEmpty()) QCOMPARE(user.Icons().front(), int(QMessageBox::Information));
  }
  QCOMPARE(ReadFileText(second), Pattern(40, "second"));
}

// Each way a send can go, against a module that acquires (for another client)
// or not. A lost status answer counts as idle: the send logs in again and shows
// the module's refusal, and nothing is reported as sent.
void InstrumentWorkflowTest::SendConfigurationPaths() {
  const fs::path good = m_pSim->Temp() / "Plant A.old.xml";
  WriteFileText(good, "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><fieldacq><session><channels/></session></fieldacq>");
  const fs::path bad = m_pSim->Temp() / "bad config.xml";
  WriteFileText(bad, "<?xml version=\"1.0\"?><fieldacq><channels/></fieldacq>");
  using Messages = std::vector<std::pair<QString, QString>>;  // text, button
  const QString strRefused = QStringLiteral("Request status Error: Acquisition is running");
  const struct {
    const char* pszName;
    const char* pszFault;
    bool bAcquiring;      // before and after
    const char* pszStop;  // the answer to the stop question; null: none asked
    fs::path file;        // chosen in the file dialog; empty: none opens
    Messages aMessages;   // after the file dialog
    std::vector<std::pair<const char*, int>> aRequests;  // requests of all clients, counted
    bool bSaved;
  } aRows[] = {
      {"declining to stop", nullptr, true, "&No", {}, {}, {{"<stop", 0}}, false},
      {"no session element", nullptr, false, nullptr, bad,
       {{QStringLiteral("'%1': Wrong configuration file. No <session> element").arg(Q(bad)), QStringLiteral("OK")}},
       {{"<save", 0}, {"read-status", 1}}, false},
      {"stop, send and start in append mode", nullptr, true, "&Yes", good,
       {{QLatin1String(ZK7_MSG_CONFIG_SENT), QStringLiteral("&Yes")}, {QStringLiteral("Acquisition is running."), QStringLiteral("OK")}},
       {{"data=\"append\"", 2}}, true},  // the other client's start, then ours
      // The status answer is lost: counted as idle, the send logs in again and shows the module's refusal.
      {"status answer dropped", "drop=10@status*1", true, nullptr, good, {{strRefused, QStringLiteral("OK")}},
       {{"<user ", 3}, {"<save", 1}}, false},  // the other client's login, ours, ours again after the failure
      {"status answer malformed", "malformed@status*1", true, nullptr, good, {{strRefused, QStringLiteral("OK")}},
       {{"<user ", 3}, {"<save", 1}}, false},
  };
  for (const auto& row : aRows) {
    std::vector<std::string> aArgs = {"--period", "50"};
    if (row.pszFault) aArgs.insert(aArgs.end(), {"--fault", row.pszFault});
    StartSim(aArgs);
    fs::remove_all(Root() / "configs");
    fs::create_directories(Root() / "configs");
    auto other = m_pSim->Client();
    QVERIFY(other->Login() == ZK7_OK);
    if (row.bAcquiring) QCOMPARE(other->SetAcquisition(1, 2), ZK7_OK);
    CModalAnswerer user;
    user.Then(LoginStep(user));
    if (row.pszStop) user.ThenMessage(QLatin1String(ZK7_MSG_STOP_RUNNING), QLatin1String(row.pszStop));
    if (!row.file.empty())
      user.Then(FileStep(user, row.file, [&user](QFileDialog* pDlg) {
        user.Compare(pDlg->windowTitle(), QStringLiteral("Select configuration file to send"), QStringLiteral("title"));
        user.Compare(pDlg->nameFilters().join(QLatin1Char('|')), QStringLiteral("ZK7 XML configuration files (*.xml)"),
                     QStringLiteral("filter"));
        user.Compare(pDlg->defaultSuffix(), QStringLiteral("xml"), QStringLiteral("default extension"));
      }));
    for (const auto& [strText, strButton] : row.aMessages) user.ThenMessage(strText, strButton);
    m_pCommands->OnSendConfiguration();
    Finish(user);
    if (row.pszStop) QCOMPARE(user.Icons().front(), int(QMessageBox::NoIcon));
    for (const auto& [pszNeedle, nCount] : row.aRequests) QVERIFY2(m_pSim->CountRequests(pszNeedle) == nCount, pszNeedle);
    QVERIFY2(fs::exists(Root() / "configs" / "Plant A.xml") == row.bSaved, row.pszName);
    int bRunning = -1;
    QCOMPARE(other->ReadAcquisitionStatus(bRunning), ZK7_OK);
    QVERIFY2(bRunning == (row.bAcquiring ? 1 : 0), row.pszName);
    QVERIFY(m_pCommands->GetDevice() == nullptr);
    other->SetAcquisition(0, 0);
  }
}

QTEST_MAIN(InstrumentWorkflowTest)
#include "InstrumentWorkflowTest.moc"
