// Opening documents into their windows.
#include "app/DocTemplate.h"

#include <memory>

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>

#include "app/CommandIds.h"
#include "app/LogWindow.h"
#include "app/MainFrame.h"
#include "app/MdiChild.h"
#include "history/HistFrame.h"
#include "results/ZK7Doc.h"
#include "strings/StringTable.h"

namespace zk7 {

void ShowDocumentRefusal(QWidget* pParent, const QString& strMessage) {
  QMessageBox box(QMessageBox::Warning, QString::fromLatin1(LoadString(IDS_APP_TITLE)), strMessage,
                  QMessageBox::Ok, pParent);
  box.exec();
}

CZK7DocTemplate::CZK7DocTemplate(unsigned nIdResource)
    : m_nIdResource(nIdResource),
      m_aDocStrings(QString::fromLatin1(LoadString(nIdResource)).split(QLatin1Char('\n'))) {}

QString CZK7DocTemplate::GetDocString(eDocStringIndex eIndex) const {
  return eIndex < m_aDocStrings.size() ? m_aDocStrings[eIndex] : QString();
}

bool CZK7DocTemplate::MatchesFile(const QString& strPath) const {
  const QString strExt = GetDocString(FILTER_EXT);
  return !strExt.isEmpty() && strPath.endsWith(strExt, Qt::CaseInsensitive);
}

CMdiChild* CZK7DocTemplate::OpenDocumentFile(const QString& strPath, CMainFrame* pFrame) const {
  CMdiChild* pChild = m_nIdResource == IDR_LOG ? OpenLog(strPath, pFrame) : OpenResults(strPath, pFrame);
  if (pChild)
    pFrame->AddDocumentWindow(pChild);
  return pChild;
}

namespace {
CMdiChild* MakeResultsWindow(CHistFrame* pHist, const QString& strPath) {
  auto* pChild = new CMdiChild(IDR_RESULTS, strPath, pHist->GetTitle(), &pHist->GetDocument(), pHist, pHist);
  QObject::connect(pHist, &CHistFrame::commandStateChanged, pChild, &CMdiChild::commandStateChanged);
  return pChild;
}
} // namespace

CMdiChild* CZK7DocTemplate::OpenResults(const QString& strPath, CMainFrame* pFrame) const {
  auto pDoc = std::make_shared<CZK7Doc>();
  std::string strError;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const bool bOpened = pDoc->OnOpenDocument(QFile::encodeName(strPath).toStdString(), &strError);
  QApplication::restoreOverrideCursor();
  if (!bOpened) {
    ShowDocumentRefusal(pFrame, QString::fromLatin1(strError));
    return nullptr;
  }
  return MakeResultsWindow(new CHistFrame(pDoc), QFileInfo(strPath).absoluteFilePath());
}

CMdiChild* CZK7DocTemplate::OpenLog(const QString& strPath, CMainFrame* pFrame) const {
  QString strError;
  CMdiChild* pChild = CreateLogWindow(QFileInfo(strPath).absoluteFilePath(), &strError);
  if (!pChild)
    ShowDocumentRefusal(pFrame, strError);
  return pChild;
}

CMdiChild* CZK7DocTemplate::CreateNewWindow(const CMdiChild* pExisting, CMainFrame* pFrame) const {
  CMdiChild* pChild = nullptr;
  if (const auto* pHist = qobject_cast<const CHistFrame*>(pExisting->GetContent())) {
    pChild = MakeResultsWindow(new CHistFrame(pHist->GetDocumentPtr()), pExisting->GetPathName());
  } else {
    // A log document is read again: it never changes once read.
    QString strError;
    pChild = CreateLogWindow(pExisting->GetPathName(), &strError);
    if (!pChild)
      ShowDocumentRefusal(pFrame, strError);
  }
  if (pChild)
    pFrame->AddDocumentWindow(pChild);
  return pChild;
}

} // namespace zk7
