#include "workflows/InstrumentCommands.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>

#include "settings/ConnectionSettings.h"
#include "strings/StringTable.h"
#include "ui/dialogs/WaitDialog.h"
#include "workflows/EditCommDlg.h"
#include "workflows/LinkCancel.h"
#include "workflows/SendConfiguration.h"

namespace zk7 {

QString ModuleTextToDisplay(const std::string& strText) {
  QString str = QString::fromLatin1(strText);
  str.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  return str;
}

QString PathToDisplay(const std::filesystem::path& path) {
  return QFile::decodeName(QByteArray::fromStdString(path.string()));
}

std::filesystem::path PathFromDisplay(const QString& strPath) {
  return std::filesystem::path(QFile::encodeName(strPath).toStdString());
}

QString AppTitle() {
  return QString::fromLatin1(LoadString(IDS_APP_TITLE));
}

namespace {

// The send-configuration steps' questions and messages, as message boxes.
class CSendConfigDialogs : public CSendConfigObserver {
public:
  explicit CSendConfigDialogs(QWidget* pParent) : m_pParent(pParent) {}

  bool ConfirmStopAcquisition() override {
    QMessageBox box(QMessageBox::NoIcon, AppTitle(), QString::fromLatin1(ZK7_MSG_STOP_RUNNING),
                    QMessageBox::Yes | QMessageBox::No, m_pParent);
    return box.exec() == QMessageBox::Yes;
  }

  std::string ChooseConfigurationFile() override {
    QFileDialog dialog(m_pParent, QStringLiteral("Select configuration file to send"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter(QStringLiteral("ZK7 XML configuration files (*.xml)"));
    dialog.setDefaultSuffix(QStringLiteral("xml"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return PathFromDisplay(dialog.selectedFiles().constFirst()).string();
  }

  bool ConfirmStartAcquisition() override {
    QMessageBox box(QMessageBox::Information, AppTitle(), QString::fromLatin1(ZK7_MSG_CONFIG_SENT),
                    QMessageBox::Yes | QMessageBox::No, m_pParent);
    return box.exec() == QMessageBox::Yes;
  }

  void ShowError(const std::string& strText) override {
    QMessageBox box(QMessageBox::NoIcon, AppTitle(), ModuleTextToDisplay(strText), QMessageBox::Ok, m_pParent);
    box.exec();
  }

  void ShowInformation(const std::string& strText) override {
    QMessageBox box(QMessageBox::Information, AppTitle(), ModuleTextToDisplay(strText), QMessageBox::Ok,
                    m_pParent);
    box.exec();
  }

private:
  QWidget* m_pParent;
};

// The send-configuration steps as the link's thread sees them: each question is
// put to the user on the window's thread. Once Cancel has stopped the link, no
// further question is asked and no failure is shown: the command just ends.
class CSendConfigOnLink : public CSendConfigObserver {
public:
  CSendConfigOnLink(QObject* pGui, CSendConfigDialogs& dialogs, CZK7Dev& dev, sCancelState& cancel)
      : m_pGui(pGui), m_dialogs(dialogs), m_dev(dev), m_cancel(cancel) {}

  bool ConfirmStopAcquisition() override {
    return !Stopped() && Ask([this] { return m_dialogs.ConfirmStopAcquisition(); });
  }
  std::string ChooseConfigurationFile() override {
    if (Stopped()) return {};
    return Ask([this] { return m_dialogs.ChooseConfigurationFile(); });
  }
  bool ConfirmStartAcquisition() override {
    return !Stopped() && Ask([this] { return m_dialogs.ConfirmStartAcquisition(); });
  }
  void ShowError(const std::string& strText) override {
    if (!Stopped()) Ask([this, &strText] { m_dialogs.ShowError(strText); });
  }
  void ShowInformation(const std::string& strText) override {
    if (!Stopped()) Ask([this, &strText] { m_dialogs.ShowInformation(strText); });
  }

private:
  bool Stopped() const { return m_cancel.bPressed || m_dev.IsCancelRequested(); }
  template <class F>
  auto Ask(F fn) -> decltype(fn()) {
    CAskingScope asking(m_cancel);
    return CallOnThreadOf(m_pGui, fn);
  }

  QObject* m_pGui;
  CSendConfigDialogs& m_dialogs;
  CZK7Dev& m_dev;
  sCancelState& m_cancel;
};

} // namespace

// Marks the commands busy from their start to their end; the last one out says so.
class CBusyScope {
public:
  explicit CBusyScope(CInstrumentCommands& commands) : m_commands(commands) { ++m_commands.m_nBusy; }
  ~CBusyScope() {
    if (--m_commands.m_nBusy == 0) emit m_commands.commandEnded();
  }
  CBusyScope(const CBusyScope&) = delete;
  CBusyScope& operator=(const CBusyScope&) = delete;

private:
  CInstrumentCommands& m_commands;
};

CInstrumentCommands::CInstrumentCommands(std::unique_ptr<ISettingsStore> pStore, QObject* pParent)
    : QObject(pParent), m_pStore(std::move(pStore)) {}

// Deleting the link closes its socket, which ends the module's session.
CInstrumentCommands::~CInstrumentCommands() = default;

QWidget* CInstrumentCommands::DialogParent() const {
  if (m_pMainWindow) return m_pMainWindow;
  return QApplication::activeWindow();
}

void CInstrumentCommands::ShowLinkError(const std::string& strText, QWidget* pParent) const {
  QMessageBox box(QMessageBox::NoIcon, AppTitle(), ModuleTextToDisplay(strText), QMessageBox::Ok,
                  pParent ? pParent : DialogParent());
  box.exec();
}

void CInstrumentCommands::OpenDocument(const std::filesystem::path& path) const {
  if (m_opener) m_opener(PathToDisplay(path));
}

int CInstrumentCommands::RunOnLink(const std::function<int(CZK7Dev&)>& fnWork, CWaitDialog& wait,
                                   sCancelState& cancel) {
  CLinkThread* pLink = m_pLink.get();
  // A press while the link's thread waits for the user's answer is acted on at
  // the workflow's next check: the question's file is still handled first.
  QMetaObject::Connection connection =
      connect(&wait, &CWaitDialog::cancelRequested, this, [pLink, &cancel] {
        cancel.bPressed = true;
        cancel.bPending = true;
        if (!cancel.bAsking) pLink->RequestCancel();
      });
  const int nResult = pLink->Run(fnWork);
  disconnect(connection);
  return nResult;
}

void CInstrumentCommands::RunCommand(const std::function<void()>& fnCommand) {
  if (IsBusy()) return;
  CBusyScope busy(*this);
  // Nothing thrown may leave the command: its message is shown, the window stays.
  try {
    fnCommand();
  } catch (const std::exception& e) {
    ShowLinkError(e.what());
  }
}

void CInstrumentCommands::OnConnect() {
  RunCommand([this] { Connect(); });
}

void CInstrumentCommands::Connect() {
  const sConnectionSettings stored = ReadConnectionSettings(*m_pStore);
  CEditCommDlg dlg(DialogParent());
  dlg.m_nPort = stored.m_nPort;
  dlg.m_strAddress = QString::fromLatin1(stored.m_strAddress);
  dlg.m_strUser = QString::fromLatin1(stored.m_strUser);
  // A failed login shows its reason and opens the dialog again with the values as
  // typed; a login cancelled in its wait dialog opens it again without a message.
  while (dlg.exec() == QDialog::Accepted) {
    m_pLink.reset();
    const sConnectionSettings typed{dlg.m_strAddress.toLatin1().toStdString(), dlg.m_nPort,
                                    dlg.m_strUser.toLatin1().toStdString()};
    auto pDevice = std::make_unique<CZK7Dev>(dlg.m_nPort);
    pDevice->SetParameters(typed.m_strAddress, typed.m_strUser, dlg.m_strPassword.toLatin1().toStdString());
    m_pLink = std::make_unique<CLinkThread>(std::move(pDevice));
    int nResult = ZK7_OK;
    sCancelState cancel;
    {
      CWaitDialog wait;
      wait.Create(DialogParent());
      QApplication::setOverrideCursor(Qt::WaitCursor);
      nResult = RunOnLink([](CZK7Dev& dev) { return dev.Login(); }, wait, cancel);
      QApplication::restoreOverrideCursor();
      wait.DestroyWindow();
    }
    if (nResult == ZK7_OK) {
      WriteConnectionSettings(*m_pStore, typed);
      return;
    }
    if (!cancel.bPressed) ShowLinkError(m_pLink->GetLastErrorText());
  }
}

void CInstrumentCommands::OnDisconnect() {
  if (IsBusy()) return;
  m_pLink.reset();
}

void CInstrumentCommands::RunConnected(void (CInstrumentCommands::*pfnWork)()) {
  bool bConnected = false;
  if (!IsLogged()) {
    Connect();
    bConnected = true;
  }
  if (!IsLogged()) return;
  (this->*pfnWork)();
  if (bConnected) m_pLink.reset();
}

void CInstrumentCommands::OnDownloadFiles() {
  RunCommand([this] { RunConnected(&CInstrumentCommands::DownloadFiles); });
}

void CInstrumentCommands::OnSendConfiguration() {
  RunCommand([this] { RunConnected(&CInstrumentCommands::SendConfiguration); });
}

void CInstrumentCommands::DoDownloadFiles() {
  RunCommand([this] { DownloadFiles(); });
}

void CInstrumentCommands::DoSendConfiguration() {
  RunCommand([this] { SendConfiguration(); });
}

void CInstrumentCommands::SendConfiguration() {
  if (!IsLogged()) return;
  CWaitDialog wait;
  wait.Create(DialogParent());
  sCancelState cancel;
  m_pLink->GetDevice()->ClearCancel();
  // The questions come over the wait dialog, which stays up until the end.
  CSendConfigDialogs dialogs(&wait);
  RunOnLink(
      [this, &dialogs, &cancel](CZK7Dev& dev) {
        CSendConfigOnLink observer(this, dialogs, dev, cancel);
        RunSendConfiguration(dev, observer);
        return ZK7_OK;
      },
      wait, cancel);
  wait.DestroyWindow();
}

} // namespace zk7
