#include "workflows/InstrumentCommands.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>

#include "settings/ConnectionSettings.h"
#include "strings/StringTable.h"
#include "workflows/EditCommDlg.h"
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

namespace {

QString AppTitle() {
  return QString::fromLatin1(LoadString(IDS_APP_TITLE));
}

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

} // namespace

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

void CInstrumentCommands::OnConnect() {
  const sConnectionSettings stored = ReadConnectionSettings(*m_pStore);
  CEditCommDlg dlg(DialogParent());
  dlg.m_nPort = stored.m_nPort;
  dlg.m_strAddress = QString::fromLatin1(stored.m_strAddress);
  dlg.m_strUser = QString::fromLatin1(stored.m_strUser);
  // A failed login shows its reason and opens the dialog again with the values as typed.
  while (dlg.exec() == QDialog::Accepted) {
    m_pDevice.reset();
    m_pDevice = std::make_unique<CZK7Dev>(dlg.m_nPort);
    const sConnectionSettings typed{dlg.m_strAddress.toLatin1().toStdString(), dlg.m_nPort,
                                    dlg.m_strUser.toLatin1().toStdString()};
    m_pDevice->SetParameters(typed.m_strAddress, typed.m_strUser, dlg.m_strPassword.toLatin1().toStdString());
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const int nResult = m_pDevice->Login();
    QApplication::restoreOverrideCursor();
    if (nResult == ZK7_OK) {
      WriteConnectionSettings(*m_pStore, typed);
      return;
    }
    ShowLinkError(m_pDevice->GetLastErrorText());
  }
}

void CInstrumentCommands::OnDisconnect() {
  m_pDevice.reset();
}

void CInstrumentCommands::RunConnected(void (CInstrumentCommands::*pfnWork)()) {
  bool bConnected = false;
  if (!IsLogged()) {
    OnConnect();
    bConnected = true;
  }
  if (!IsLogged()) return;
  (this->*pfnWork)();
  if (bConnected) OnDisconnect();
}

void CInstrumentCommands::OnDownloadFiles() {
  RunConnected(&CInstrumentCommands::DoDownloadFiles);
}

void CInstrumentCommands::OnSendConfiguration() {
  RunConnected(&CInstrumentCommands::DoSendConfiguration);
}

void CInstrumentCommands::DoSendConfiguration() {
  if (!IsLogged()) return;
  CSendConfigDialogs dialogs(DialogParent());
  RunSendConfiguration(*m_pDevice, dialogs);
}

} // namespace zk7
