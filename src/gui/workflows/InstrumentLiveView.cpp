// The live-view command: which results file the running acquisition records
// (the one that grows between listings, or the user's choice when several or
// none do), the question before an existing copy is replaced, then a
// CLiveView on a second link follows it into the download destination.
#include <QApplication>
#include <QFile>
#include <QInputDialog>
#include <QMessageBox>
#include <QPointer>
#include <algorithm>

#include "link/DownloadPath.h"
#include "settings/ConnectionSettings.h"
#include "strings/StringTable.h"
#include "ui/dialogs/WaitDialog.h"
#include "workflows/FileSelection.h"
#include "workflows/InstrumentCommands.h"
#include "workflows/LinkCancel.h"
#include "workflows/LiveView.h"

namespace zk7 {

namespace {

// Listings a second apart: a module records a record a second or faster, so
// three listings tell a running acquisition's file from the others.
constexpr int LIVE_LISTINGS = 3;

QString ModulePathText(const sFollowTarget& t) {
  return QString::fromLatin1(t.strDevice + "/" + (t.strDir.empty() ? "" : t.strDir + "/") + t.strFile);
}

bool AskYesNo(QWidget* pParent, const std::string& strText) {
  QMessageBox box(QMessageBox::Question, AppTitle(), QFile::decodeName(QByteArray::fromStdString(strText)),
                  QMessageBox::Yes | QMessageBox::No, pParent);
  box.setDefaultButton(QMessageBox::No);
  return box.exec() == QMessageBox::Yes;
}

} // namespace

void CInstrumentCommands::OnLiveView() {
  RunCommand([this] { RunConnected(&CInstrumentCommands::LiveView); });
}

void CInstrumentCommands::LiveView() {
  if (!IsLogged()) return;
  const std::string strAddress = ReadConnectionSettings(*m_pStore).m_strAddress;
  CZK7Dev& dev = *m_pLink->GetDevice();
  std::vector<sFollowTarget> aAll, aGrown;
  sCancelState cancel;
  bool bListed = false;
  {
    CWaitDialog wait;
    wait.Create(DialogParent());
    dev.ClearCancel();
    RunOnLink(
        [&](CZK7Dev& d) {
          bListed = FindGrowingFiles(d, LIVE_INTERVAL_MS, LIVE_LISTINGS, aAll, aGrown);
          return ZK7_OK;
        },
        wait, cancel);
    wait.DestroyWindow();
  }
  if (cancel.bPressed || dev.IsCancelRequested()) return;
  if (!bListed) {
    ShowLinkError(m_pLink->GetLastErrorText());
    return;
  }
  sFollowTarget target;
  if (aGrown.size() == 1) {
    target = aGrown.front();
  } else {
    const std::vector<sFollowTarget>& aChoice = aGrown.empty() ? aAll : aGrown;
    if (aChoice.empty()) {
      ShowLinkError("No results file is being recorded.");
      return;
    }
    QStringList aItems;
    for (const auto& t : aChoice) aItems << ModulePathText(t);
    QInputDialog dlg(DialogParent());
    dlg.setWindowTitle(AppTitle());
    dlg.setLabelText(aGrown.empty() ? QStringLiteral("No results file grows. Results file to show:")
                                    : QStringLiteral("Several results files grow. Results file to follow:"));
    dlg.setComboBoxItems(aItems);
    dlg.setComboBoxEditable(false);
    if (dlg.exec() != QDialog::Accepted) return;
    target = aChoice[static_cast<size_t>(std::max<qsizetype>(0, aItems.indexOf(dlg.textValue())))];
  }

  CFollowFile follow(target, DefaultDownloadDestination(UserDocumentsFolder(), strAddress));
  std::string strError;
  if (!follow.Locate(strError)) {
    ShowLinkError(strError);
    return;
  }
  // As a download does: a copy open in a window is replaced once its window is
  // closed, any other only on the user's word.
  const QString strLocal = PathToDisplay(follow.LocalPath());
  std::error_code ec;
  if (m_fnIsOpen && m_fnIsOpen(strLocal)) {
    if (!AskYesNo(DialogParent(), FormatMessage(ZK7_MSG_REPLACE_OPEN_FILE, {follow.LocalPath().string()}))) return;
    if (!m_fnClose || !m_fnClose(strLocal)) return;
  } else if (std::filesystem::exists(follow.LocalPath(), ec) &&
             !AskYesNo(DialogParent(), ReplaceQuestionText(follow.LocalPath().string()))) {
    return;
  }

  auto pDevice = std::make_unique<CZK7Dev>(dev.GetPort());
  pDevice->SetParametersOf(dev);
  auto report = [pSelf = QPointer<CInstrumentCommands>(this)](const std::string& strText) {
    if (pSelf) pSelf->ShowLinkError(strText);
  };
  // Owned by this object until its window opens, then by the window.
  new CLiveView(std::move(pDevice), follow, LIVE_INTERVAL_MS, m_fnLiveOpener, report, this);
}

} // namespace zk7
