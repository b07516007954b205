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
#include "workflows/LinkCancel.h"

namespace zk7 {

namespace {

// The download as the link's thread sees it: progress goes to the wait dialog
// by queued calls, in order; a replace question waits for the user's answer.
class CWaitDialogObserver : public CDownloadObserver {
public:
  CWaitDialogObserver(const CInstrumentCommands& commands, CWaitDialog& wait, CZK7Dev& dev, sCancelState& cancel)
      : m_commands(commands), m_wait(wait), m_dev(dev), m_cancel(cancel) {}

  void SetTitle(const std::string& strTitle) override {
    Post([strTitle](CWaitDialog& wait) { wait.setWindowTitle(QString::fromLatin1(strTitle)); });
  }
  void SetRange(int nMax) override {
    Post([nMax](CWaitDialog& wait) { wait.SetRange(0, nMax); });
  }
  void SetPosition(int nPos) override {
    Post([nPos](CWaitDialog& wait) { wait.ShowPos(nPos); });
  }
  void SetStatus(const std::string& strText) override {
    Post([strText](CWaitDialog& wait) { wait.SetStatusText(QString::fromLatin1(strText)); });
  }
  bool IsCancelled() override { return m_cancel.TakePending() || m_dev.IsCancelRequested(); }
  // A press stops the link at once; the transfer stops before its next block.
  bool OnBlock(int64_t, int64_t) override { return !m_dev.IsCancelRequested(); }
  eReplaceAnswer AskReplaceFile(const std::string& strLocalPath) override {
    if (m_dev.IsCancelRequested()) return eReplaceAnswer::Cancel;
    CAskingScope asking(m_cancel);
    CWaitDialog* pWait = &m_wait;
    const CInstrumentCommands* pCommands = &m_commands;
    return CallOnThreadOf(pWait, [pWait, pCommands, &strLocalPath] {
      return pCommands->AskReplaceFile(strLocalPath, pWait->isVisible() ? pWait : nullptr);
    });
  }

private:
  template <class F>
  void Post(F fn) {
    CWaitDialog* pWait = &m_wait;
    QMetaObject::invokeMethod(pWait, [pWait, fn] { fn(*pWait); }, Qt::QueuedConnection);
  }

  const CInstrumentCommands& m_commands;
  CWaitDialog& m_wait;
  CZK7Dev& m_dev;
  sCancelState& m_cancel;
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

bool CInstrumentCommands::CloseOpenTargets(const std::filesystem::path& destination, CDownloadFiles& files) {
  if (!m_fnIsOpen) return true;
  for (size_t k = 0; k < files.Categories().size(); ++k) {
    for (auto& dir : files.Categories()[k]) {
      for (auto& file : dir.aFiles) {
        if (!file.bSelected) continue;
        std::string strRefusal;
        const std::filesystem::path local =
            BuildDownloadPath(destination, g_aStorageCategories[k].pszDevice, dir.strName, file.strName, strRefusal);
        if (!strRefusal.empty() || !m_fnIsOpen(PathToDisplay(local))) continue;
        QMessageBox box(QMessageBox::Question, AppTitle(),
                        QFile::decodeName(QByteArray::fromStdString(
                            FormatMessage(ZK7_MSG_REPLACE_OPEN_FILE, {local.string()}))),
                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, DialogParent());
        box.setDefaultButton(QMessageBox::No);
        const int nAnswer = box.exec();
        if (nAnswer != QMessageBox::Yes && nAnswer != QMessageBox::No) return false;
        // A window that stays open keeps its file as it is.
        if (nAnswer == QMessageBox::No || !m_fnClose || !m_fnClose(PathToDisplay(local))) file.bSelected = 0;
      }
    }
  }
  return true;
}

void CInstrumentCommands::DownloadFiles() {
  if (!IsLogged()) return;
  const std::string strAddress = ReadConnectionSettings(*m_pStore).m_strAddress;
  CDownloadFiles files;
  CZK7Dev& dev = *m_pLink->GetDevice();

  int nResult = ZK7_OK;
  sCancelState listCancel;
  {
    CWaitDialog wait;
    wait.Create(DialogParent());
    dev.ClearCancel();
    nResult = RunOnLink(
        [this, &files, &strAddress, &wait, &listCancel](CZK7Dev& d) {
          CWaitDialogObserver observer(*this, wait, d, listCancel);
          return files.List(d, strAddress, observer);
        },
        wait, listCancel);
    wait.DestroyWindow();
  }
  // A listing stopped in the middle of a request ends the command: the user asked
  // for it. One cancelled between categories goes on with what was listed.
  if (nResult != ZK7_OK && (files.WasCancelled() || dev.IsCancelRequested())) return;
  if (nResult != ZK7_OK) {
    ShowLinkError(m_pLink->GetLastErrorText());
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
  if (!CloseOpenTargets(destination, files)) return;

  std::string strMessage;
  bool bDone = false;
  sCancelState cancel;
  {
    CWaitDialog wait;
    wait.Create(DialogParent());
    wait.setWindowTitle(QString::fromLatin1(CDownloadFiles::DownloadTitle(strAddress)));
    dev.ClearCancel();
    // A link that a cancelled listing left logged out logs in again for the first file.
    RunOnLink(
        [this, &files, &destination, &wait, &cancel, &strMessage, &bDone](CZK7Dev& d) {
          CWaitDialogObserver observer(*this, wait, d, cancel);
          bDone = files.Download(d, destination, observer, strMessage);
          return ZK7_OK;
        },
        wait, cancel);
    wait.DestroyWindow();
  }
  if (bDone)
    ReportDownloadedFiles(destination, files);
  else if (!strMessage.empty() && !cancel.bPressed && !files.WasCancelled())
    // After Cancel, an earlier attempt's failure is no news to the user.
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
