// The instrument commands against zk7-sim in its own process: connect, download
// files, send a configuration, answered by a scripted user. The download's and
// the link's rules are proven in the tools tests; here each reaches the window.
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
  static CModalAnswerer::Step FileStep(CModalAnswerer& user, const fs::path& path, std::function<void(QFileDialog*)> fnCheck) {
    return [&user, path, fnCheck](QWidget* pModal) {
      auto* pDlg = qobject_cast<QFileDialog*>(pModal);
      if (!pDlg) return user.Fail("expected a file dialog, got " + GetDialogText(pModal));
      fnCheck(pDlg);
      user.Check(AnswerFileDialog(pDlg, Q(path)), "file name field");
    };
  }
  void Finish(CModalAnswerer& user, const char* pszCase = "") {
    user.Stop();
    QVERIFY2(user.AllAnswered(), qPrintable(pszCase + (": " + user.Report())));
    // Every wait dialog has given the main window back its input.
    QVERIFY2(m_pMain->isEnabled(), pszCase);
  }

  // A download (else a configuration sent) with the login answered, then fnScript's answers;
  // the icons of the messages answered.
  std::vector<int> Run(bool bDownload, const std::function<void(CModalAnswerer&)>& fnScript, const char* pszCase = "") {
    CModalAnswerer user;
    user.Then(LoginStep(user));
    fnScript(user);
    bDownload ? m_pCommands->OnDownloadFiles() : m_pCommands->OnSendConfiguration();
    Finish(user, pszCase);
    return user.Icons();
  }

  CTempDir m_config{"zk7workflowconfig"};
  std::unique_ptr<CModuleSim> m_pSim;
  std::unique_ptr<QMainWindow> m_pMain;
  std::unique_ptr<CInstrumentCommands> m_pCommands;
  QStringList m_aOpened;

private slots:
  // The user's configuration (the file dialogs' history) stays in one folder of this
  // run: the path is read once per process.
  void initTestCase() { qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(m_config.Path())); }

  void init() {
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

  void cleanup() {
    m_pCommands.reset();
    m_pMain.reset();
    QDir::setCurrent(QDir::tempPath());
    m_pSim.reset();
  }

  void ConnectDialogOnFirstUseAndTheSettingsItWrites() {
    CModalAnswerer user;
    user.Then([&user](QWidget* pModal) {
      auto field = [pModal](const char* psz) { return pModal->findChild<QLineEdit*>(psz); };
      user.Check(qobject_cast<CEditCommDlg*>(pModal) && field("port")->isEnabled() && !field("port")->isReadOnly() &&
                     field("password")->echoMode() == QLineEdit::Password, "the port can be typed, the password is masked");
      user.Compare(QStringList({pModal->windowTitle(), field("port")->text(), field("address")->text(), field("user")->text()}),
                   QStringList({"Connecting to device", "80", "", ""}), "title, port, address, user");
      user.Click(pModal, "Cancel");
    });
    m_pCommands->OnDownloadFiles();
    Finish(user);
    QVERIFY(m_pCommands->GetDevice() == nullptr && m_pCommands->OnUpdateConnect() && !m_pCommands->OnUpdateDisconnect());

    // The port typed in the dialog, the address and the user are stored; the password never.
    StartSim();
    Store()->WriteInt(CONNECTION_SECTION, CONNECTION_KEY_PORT, 70000);
    CModalAnswerer again;
    again.ThenClick("OK");
    again.ThenMessage("Please enter an integer between 1 and 65535.");  // the stored port is out of range
    again.Then(LoginStep(again, QLatin1String(CModuleSim::kPassword), m_pSim->Port()));
    m_pCommands->OnConnect();
    Finish(again);
    QVERIFY(m_pCommands->IsLogged() && !m_pCommands->OnUpdateConnect() && m_pCommands->OnUpdateDisconnect());
    const sConnectionSettings stored = ReadConnectionSettings(*Store());
    QCOMPARE(stored.m_strAddress + "|" + stored.m_strUser + "|" + std::to_string(stored.m_nPort),
             "127.0.0.1|" + std::string(CModuleSim::kUser) + "|" + std::to_string(m_pSim->Port()));
    QVERIFY(ReadFileText(m_pSim->Temp() / "settings.ini").find("s3cret") == std::string::npos);
    m_pCommands->OnDisconnect();
    QVERIFY(m_pCommands->GetDevice() == nullptr);
  }

  void WrongPasswordShowsRefusalAndKeepsAddressAndUser() {
    StartSim();
    CModalAnswerer user;
    user.Then(LoginStep(user, "wrong"));
    user.ThenMessage("Request status Error: Invalid user name or password");
    user.Then([&user](QWidget* pModal) {
      user.Compare(pModal->findChild<QLineEdit*>("address")->text() + "|" + pModal->findChild<QLineEdit*>("user")->text(),
                   "127.0.0.1|" + QLatin1String(CModuleSim::kUser), "the connect dialog again: address and user");
      user.Click(pModal, "Cancel");
    });
    m_pCommands->OnConnect();
    Finish(user);
    // The failed link stays, not logged in; nothing was written.
    QVERIFY(m_pCommands->GetDevice() != nullptr && !m_pCommands->IsLogged());
    QCOMPARE(Store()->ReadText(CONNECTION_SECTION, CONNECTION_KEY_ADDRESS, "none") +
                 Store()->ReadText(CONNECTION_SECTION, CONNECTION_KEY_USER, "none"), std::string("nonenone"));
    // The next instrument command asks for the connection again.
    CModalAnswerer again;
    again.ThenClick("Cancel");
    m_pCommands->OnSendConfiguration();
    Finish(again);
    QCOMPARE(again.Titles(), QStringList{"Connecting to device"});
  }

  void PortAndTextFieldsAcceptWhatCanBeSentOnly() {
    const QString strRange = "Please enter an integer between 1 and 65535.";
    const QString strLatin1 = ": only characters of the Western European (Latin-1) set can be sent to the module.";
    // The refusal's message; empty: accepted.
    const struct { const char* pszField; QString strText, strRefusal; } aRows[] = {
        {"port", "65535", {}}, {"port", "1", {}}, {"port", "0", strRange}, {"port", "65536", strRange},
        {"port", "99999999999", strRange}, {"port", QString(), "Please enter an integer."}, {"address", "caf\u00E9-1234", {}},
        {"address", "\u0417K7-1234", "Device Address" + strLatin1}, {"user", "op\u20AC", "User Name" + strLatin1},
        {"password", "\U0001F511", "Password" + strLatin1},
    };
    for (const auto& row : aRows) {
      const sCaseTrace trace{QString("%1 \"%2\"").arg(row.pszField, row.strText)};
      CEditCommDlg dlg(m_pMain.get());
      dlg.m_nPort = 80;
      CModalAnswerer user;
      user.Then([&user, &row](QWidget* pModal) {
        pModal->findChild<QLineEdit*>(row.pszField)->setText(row.strText);
        user.Click(pModal, "OK");
      });
      if (!row.strRefusal.isEmpty()) {
        user.ThenMessage(row.strRefusal);
        user.Then([&user, &row](QWidget* pModal) {
          // Still open, the field at fault has the focus.
          user.Compare(pModal->focusWidget() ? pModal->focusWidget()->objectName() : QString(), row.pszField, "focus");
          user.Click(pModal, "Cancel");
        });
      }
      QCOMPARE(dlg.exec(), row.strRefusal.isEmpty() ? int(QDialog::Accepted) : int(QDialog::Rejected));
      Finish(user);
      if (row.strRefusal.isEmpty() && QLatin1String(row.pszField) == QLatin1String("port")) QCOMPARE(dlg.m_nPort, row.strText.toInt());
    }
  }

  // The link waits on a module that does not answer; the window's event loop goes
  // on (a timer keeps firing) and Cancel ends the command without a message.
  void WindowRunsAndCancelActsDuringStalledRequests() {
    // A download, else a configuration sent; the title of the wait dialog to cancel, empty: the one after the login.
    const struct { const char* pszName, *pszFault; bool bDownload; QString strWaitTitle; } aRows[] = {
        // A cancelled login opens the connect dialog again, without a message.
        {"login", "stall=30000@key", false, "Please wait..."},
        {"listing", "stall=30000@list", true, "Asking instrument '127.0.0.1'"},
        {"file", "stall=30000@block", true, "Download files from '127.0.0.1'"},
        // A long file from a slow module: its second block comes one byte at a time.
        {"dripping file", "drip=20@block#2", true, "Download files from '127.0.0.1'"},
        {"status", "stall=30000@status", false, QString()},
    };
    WriteFileText(Root() / "logs" / "long.log", Pattern(200000, "long"));
    for (const auto& row : aRows) {
      StartSim({"--fault", row.pszFault});
      const bool bLogin = QLatin1String(row.pszName) == QLatin1String("login");
      CModalAnswerer user;
      user.Then(LoginStep(user));
      if (row.strWaitTitle.startsWith("Download")) user.Then(SelectStep(user, {{"Glogal Logs"}}));
      if (bLogin) user.ThenClick("Cancel");
      // A user who waits half a second in front of the stalled request, then cancels.
      int nTicks = 0, nTicksWhileStalled = -1;
      QElapsedTimer seen, sinceCancel;
      CWaitWatcher watch([&](CWaitDialog& wait) {
        ++nTicks;
        if (!(row.strWaitTitle.isEmpty() ? m_pCommands->IsLogged() : wait.windowTitle() == row.strWaitTitle)) return false;
        if (!seen.isValid()) seen.start(), nTicksWhileStalled = nTicks;
        if (seen.elapsed() < 500) return false;
        nTicksWhileStalled = nTicks - nTicksWhileStalled;
        sinceCancel.start();
        wait.GetCancelButton()->click();
        return true;
      });
      row.bDownload ? m_pCommands->OnDownloadFiles() : m_pCommands->OnSendConfiguration();
      // The stall lasts 30 s: ending well before proves Cancel acted.
      QVERIFY2(sinceCancel.isValid() && sinceCancel.elapsed() < 10000 && nTicksWhileStalled >= 5, row.pszName);
      // No message after Cancel, no question, no summary.
      Finish(user, row.pszName);
      QVERIFY2(!CWaitWatcher::Visible(), row.pszName);
      // The command's own connection is closed; a cancelled login leaves its link, not logged in.
      QVERIFY(bLogin ? !m_pCommands->IsLogged() : m_pCommands->GetDevice() == nullptr);
      // A file cancelled in its middle leaves nothing behind, not even its temporary file.
      std::error_code ec;
      QVERIFY2(!fs::exists(Destination() / "logs") || fs::is_empty(Destination() / "logs", ec), row.pszName);
    }
  }

  void ListingRefusedShowsTheLinkErrorAndNoSelection() {
    StartSim({"--fault", "refuse=Busy@list"});
    Run(true, [](CModalAnswerer& user) { user.ThenMessage("Request status Error: Busy"); });
    QVERIFY(m_pSim->CountRequests("device=\"configs\"") == 5 && m_pSim->CountRequests("device=\"logs\"") == 0);
    // The command connected, so it disconnected at its end.
    QVERIFY(m_pCommands->GetDevice() == nullptr);
  }

  void TreeShowsCategoriesDirectoriesAndEmptyAbsentDevices() {
    WriteFileText(Root() / "internal" / "top.zk", Pattern(1000, "top"));
    WriteFileText(Root() / "internal" / "run1" / "inner.log", Pattern(70000, "inner"));
    WriteFileText(Root() / "internal" / "run1" / "notes.txt", Pattern(5, "notes"));
    WriteFileText(Root() / "configs" / "plant.xml", Pattern(300, "plant"));
    StartSim();
    // The tree's layout is proven on the dialog; here the module's listing reaches it.
    Run(true, [this](CModalAnswerer& user) {
      user.Then(SelectStep(user, {{"internal flash"}}, [&user, this](CDlgFilesSel* pDlg) {
        QStringList aSeen = {pDlg->windowTitle(), pDlg->DestinationEdit()->text()};
        for (int i = 0; i < pDlg->Tree()->topLevelItemCount(); ++i)
          aSeen << pDlg->Tree()->topLevelItem(i)->text(0) + QString(pDlg->Tree()->topLevelItem(i)->childCount(), '+');
        // Absent devices are empty; a file of the unnamed directory sits under its category.
        user.Compare(aSeen.join('|'),
                     "Download files from '127.0.0.1'|" + Q(Destination()) + "|Configurations+|Glogal Logs|internal flash++|USB key|SD Card",
                     "title, destination, categories");
      }));
      user.ThenMessage("3 files have been dowloaded.\nDo you want to open one of the loaded files ?", "&No");
    });
    // Ticking the category took everything under it, and nothing else.
    QCOMPARE(ReadFileText(Destination() / "internal" / "top.zk") + ReadFileText(Destination() / "internal" / "run1" / "inner.log") +
                 ReadFileText(Destination() / "internal" / "run1" / "notes.txt"),
             Pattern(1000, "top") + Pattern(70000, "inner") + Pattern(5, "notes"));
    QVERIFY(!fs::exists(Destination() / "configs") && m_aOpened.isEmpty());
  }

  void ReplaceQuestionOverTheWaitDialogAndCancelBeforeTheNextFile() {
    WriteFileText(Root() / "logs" / "a.log", Pattern(100, "a"));
    WriteFileText(Root() / "logs" / "b.log", Pattern(100, "b"));
    WriteFileText(Destination() / "logs" / "a.log", "old");
    StartSim();
    CWaitWatcher watch;
    Run(true, [this](CModalAnswerer& user) {
      user.Then(SelectStep(user, {{"Glogal Logs"}}));
      user.Then([&user, this](QWidget* pModal) {
        auto* pDlg = qobject_cast<C5ButtonsDialog*>(pModal);
        auto* pWait = pDlg ? qobject_cast<CWaitDialog*>(pDlg->parentWidget()) : nullptr;
        if (!pWait) return user.Fail("expected the replace question over the wait dialog");
        user.Check(!m_pMain->isEnabled(), "main window disabled while downloading");
        user.Compare(pDlg->m_strMessage, QString(" '%1'\n\n This file already exists. Do you want to replace it ?")
                                             .arg(Q(Destination() / "logs" / "a.log")), "question");
        user.Compare(QString("%1/%2 %3").arg(pWait->GetProgressBar()->value()).arg(pWait->GetProgressBar()->maximum())
                         .arg(pWait->GetStatusText()), "1/4 : a.log (100 bytes)", "progress");
        // The user presses Cancel in the wait dialog, then answers the question.
        pWait->GetCancelButton()->click();
        user.Click(pDlg, "&Yes");
    });
    });
    // The login's wait dialog, the listing's, the download's.
    QCOMPARE(watch.Titles(), QStringList({"Please wait...", "Please wait...", "Asking instrument '127.0.0.1'", "Please wait...",
                                          "Download files from '127.0.0.1'"}));
    // The file being asked about arrived; the next one was not started and no summary came.
    QCOMPARE(ReadFileText(Destination() / "logs" / "a.log"), Pattern(100, "a"));
    QVERIFY(!fs::exists(Destination() / "logs" / "b.log") && m_pSim->CountRequests("b.log") == 0);
  }

  // Several files that open: the file dialog starts at the first results or log file, in category order.
  void SeveralFilesDownloadedLeadToTheFileDialog() {
    WriteFileText(Root() / "internal" / "r1" / "first.zk", Pattern(40, "first"));
    WriteFileText(Root() / "internal" / "r2" / "second.zk", Pattern(40, "second"));
    WriteFileText(Root() / "logs" / "events.log", Pattern(40, "events"));
    StartSim();
    const fs::path second = Destination() / "internal" / "r2" / "second.zk", events = Destination() / "logs" / "events.log";
    Run(true, [&](CModalAnswerer& user) {
      user.Then(SelectStep(user, {{"Glogal Logs"}, {"internal flash"}}));
      user.ThenMessage("3 files have been dowloaded.\nDo you want to open one of the loaded files ?", "&Yes");
      user.Then(FileStep(user, second, [&user, events](QFileDialog* pDlg) {
        user.Compare(QStringList({pDlg->directory().absolutePath(), pDlg->selectedFiles().value(0)}) << pDlg->nameFilters(),
                     QStringList({Q(events.parent_path()), Q(events), "ZK7 results files (*.zk)", "ZK7 log files (*.log)"}),
                     "folder, file, filters");
      }));
    });
    QCOMPARE(m_aOpened, QStringList{Q(second)});
  }

  // Each way a send can go, against a module that acquires (for another client)
  // or not. A lost status answer counts as idle: the send logs in again and shows
  // the module's refusal, and nothing is reported as sent.
  void SendConfigurationPaths() {
    const fs::path good = m_pSim->Temp() / "Plant A.old.xml";
    WriteFileText(good, "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><fieldacq><session><channels/></session></fieldacq>");
    using Messages = std::vector<std::pair<QString, QString>>;  // text, button
    const QString strRefused = "Request status Error: Acquisition is running";
    // Acquiring before and after; the answer to the stop question, null: none asked; the file chosen in the file
    // dialog, empty: none opens; the messages after it; the requests of all clients, counted; the file saved.
    const struct {
      const char *pszName, *pszFault; bool bAcquiring; const char* pszStop; fs::path file; Messages aMessages;
      std::vector<std::pair<const char*, int>> aRequests; bool bSaved;
    } aRows[] = {
        {"declining to stop", nullptr, true, "&No", {}, {}, {{"<stop", 0}}, false},
        {"stop, send and start in append mode", nullptr, true, "&Yes", good,
         {{QLatin1String(ZK7_MSG_CONFIG_SENT), "&Yes"}, {"Acquisition is running.", "OK"}},
         {{"data=\"append\"", 2}}, true},  // the other client's start, then ours
        // The status answer is lost: counted as idle, the send logs in again and shows the module's refusal.
        {"status answer dropped", "drop=10@status*1", true, nullptr, good, {{strRefused, "OK"}},
         {{"<user ", 3}, {"<save", 1}}, false},  // the other client's login, ours, ours again after the failure
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
      const std::vector<int> aIcons = Run(false, [&](CModalAnswerer& user) {
        if (row.pszStop) user.ThenMessage(QLatin1String(ZK7_MSG_STOP_RUNNING), QLatin1String(row.pszStop));
        if (!row.file.empty())
          user.Then(FileStep(user, row.file, [&user](QFileDialog* pDlg) {
            user.Compare(QStringList({pDlg->windowTitle(), pDlg->defaultSuffix()}) << pDlg->nameFilters(),
                         QStringList({"Select configuration file to send", "xml", "ZK7 XML configuration files (*.xml)"}),
                         "title, default extension, filter");
          }));
        for (const auto& [strText, strButton] : row.aMessages) user.ThenMessage(strText, strButton);
      }, row.pszName);
      if (row.pszStop) QCOMPARE(aIcons.front(), int(QMessageBox::NoIcon));
      for (const auto& [pszNeedle, nCount] : row.aRequests) QVERIFY2(m_pSim->CountRequests(pszNeedle) == nCount, pszNeedle);
      int bRunning = -1;
      QCOMPARE(other->ReadAcquisitionStatus(bRunning), ZK7_OK);
      QVERIFY2(fs::exists(Root() / "configs" / "Plant A.xml") == row.bSaved && bRunning == (row.bAcquiring ? 1 : 0) &&
                   m_pCommands->GetDevice() == nullptr, row.pszName);
      other->SetAcquisition(0, 0);
    }
  }
};

QTEST_MAIN(InstrumentWorkflowTest)
#include "InstrumentWorkflowTest.moc"
