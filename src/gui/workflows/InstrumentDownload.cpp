// The download-files command: listing under a wait dialog, the selection dialog,
// the download with its replace questions, and the summary.
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>

#include "link/DownloadPath.h"
#include "settings/ConnectionSettings.h"
#include "strings/StringTable.h"
#include "ui/dialogs/5ButtonsDialog.h"
#include "ui/dialogs/WaitDialog.h"
#include "workflows/DlgFilesSel.h"
#include "workflows/FileSelection.h"
#include "workflows/InstrumentCommands.h"

namespace zk7 {

namespace {

QString AppTitle() {
  return QString::fromLatin1(LoadString(IDS_APP_TITLE));
}

// The download's progress goes to the wait dialog, its questions over it.
class CWaitDialogObserver : public CDownloadObserver {
public:
  CWaitDialogObserver(const CInstrumentCommands& commands, CWaitDialog& wait) : m_commands(commands), m_wait(wait) {}

  void SetTitle(const std::string& strTitle) override { m_wait.setWindowTitle(QString::fromLatin1(strTitle)); }
  void SetRange(int nMax) override { m_wait.SetRange(0, nMax); }
  void SetPosition(int nPos) override { m_wait.SetPos(nPos); }
  void SetStatus(const std::string& strText) override { m_wait.SetStatusText(QString::fromLatin1(strText)); }
  bool IsCancelled() override { return m_wait.CheckCancel() != 0; }
  // Between blocks the window repaints and a Cancel press is remembered; it is
  // acted on before the next file or attempt, never in the middle of a file.
  bool OnBlock(int64_t, int64_t) override {
    m_wait.PumpMessages();
    return true;
  }
  eReplaceAnswer AskReplaceFile(const std::string& strLocalPath) override {
    return m_commands.AskReplaceFile(strLocalPath, m_wait.isVisible() ? &m_wait : nullptr);
  }

private:
  const CInstrumentCommands& m_commands;
  CWaitDialog& m_wait;
};

} // namespace

eReplaceAnswer CInstrumentCommands::AskReplaceFile(const std::string& strLocalPath, QWidget* pParent) const {
  C5ButtonsDialog dlg(pParent ? pParent : DialogParent());
  dlg.m_strTitle = AppTitle();
  // The text holds a local path: file-system bytes, not a module's 8-bit text.
  dlg.m_strMessage = QFile::decodeName(QByteArray::fromStdString(ReplaceQuestionText(strLocalPath)));
  dlg.m_strButton1 = QStringLiteral("&Yes");
  dlg.m_strButton2 = QStringLiteral("&No");
  dlg.m_strButton3 = QStringLiteral("Yes to &All");
  dlg.m_strButton4 = QStringLiteral("No to A&ll");
  dlg.m_strButton5 = QStringLiteral("Cancel");
  dlg.m_nDefaultButton = REPLACE_BUTTON_NO;
  dlg.m_bShowCheck = false;
  return ReplaceAnswerFromButton(dlg.DoModal());
}

void CInstrumentCommands::DoDownloadFiles() {
  if (!IsLogged()) return;
  const std::string strAddress = ReadConnectionSettings(*m_pStore).m_strAddress;
  CDownloadFiles files;

  int nResult = ZK7_OK;
  {
    CWaitDialog wait;
    wait.Create(DialogParent());
    CWaitDialogObserver observer(*this, wait);
    nResult = files.List(*m_pDevice, strAddress, observer);
    wait.DestroyWindow();
  }
  if (nResult != ZK7_OK) {
    ShowLinkError(m_pDevice->GetLastErrorText());
    return;
  }

  CDlgFilesSel dlg(DialogParent());
  dlg.m_strDestDir = PathToDisplay(DefaultDownloadDestination(UserDocumentsFolder(), strAddress));
  dlg.m_strTitle = QString::fromLatin1(CDownloadFiles::DownloadTitle(strAddress));
  dlg.m_nCategories = ZK7_CATEGORY_COUNT;
  for (int k = 0; k < ZK7_CATEGORY_COUNT; ++k) dlg.m_astrCategoryNames << QString::fromLatin1(CategoryDisplayName(k));
  dlg.m_pCategories = &files;
  if (dlg.exec() != QDialog::Accepted) return;

  const std::filesystem::path destination = PathFromDisplay(dlg.m_strDestDir);
  if (files.CountSelected() == 0) {
    ShowLinkError(ZK7_MSG_NO_FILE_SELECTED);
    return;
  }

  std::string strMessage;
  bool bDone = false;
  {
    CWaitDialog wait;
    wait.Create(DialogParent());
    wait.setWindowTitle(QString::fromLatin1(CDownloadFiles::DownloadTitle(strAddress)));
    CWaitDialogObserver observer(*this, wait);
    bDone = files.Download(*m_pDevice, destination, observer, strMessage);
    wait.DestroyWindow();
  }
  if (bDone)
    ReportDownloadedFiles(destination, files);
  else if (!strMessage.empty())
    ShowLinkError(strMessage);
}

void CInstrumentCommands::ReportDownloadedFiles(const std::filesystem::path& destination,
                                                const CDownloadFiles& files) {
  const sDownloadSummary summary = files.Summarize(destination);
  QWidget* pParent = DialogParent();
  const QString strMessage = QString::fromLatin1(summary.strMessage);
  if (summary.nTotal == 0 || summary.nOpenable == 0) {
    QMessageBox box(QMessageBox::Information, AppTitle(), strMessage, QMessageBox::Ok, pParent);
    box.exec();
    return;
  }
  QMessageBox question(QMessageBox::Information, AppTitle(),
                       strMessage + QLatin1Char('\n') + QString::fromLatin1(summary.strQuestion),
                       QMessageBox::Yes | QMessageBox::No, pParent);
  if (question.exec() != QMessageBox::Yes) return;
  if (summary.nOpenable == 1) {
    OpenDocument(summary.firstOpenable);
    return;
  }
  QFileDialog dialog(pParent, QStringLiteral("Open"));
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setNameFilters({QStringLiteral("ZK7 results files (*.zk)"), QStringLiteral("ZK7 log files (*.log)")});
  dialog.setDirectory(PathToDisplay(summary.firstOpenable.parent_path()));
  dialog.selectFile(PathToDisplay(summary.firstOpenable));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  OpenDocument(PathFromDisplay(dialog.selectedFiles().constFirst()));
}

} // namespace zk7
