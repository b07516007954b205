#include "logs/LogFrame.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QVBoxLayout>

#include "logs/LogView.h"
#include "logs/ZK7LogDoc.h"

namespace zk7 {

CLogFrame* CLogFrame::Create(const QString& strPath, QWidget* pParent, QString* pstrError) {
  auto pDoc = std::make_shared<CZK7LogDoc>();
  std::string strError;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const bool bOpened = pDoc->OnOpenDocument(QFile::encodeName(strPath).toStdString(), &strError);
  QApplication::restoreOverrideCursor();
  if (!bOpened) {
    if (pstrError) *pstrError = QString::fromLocal8Bit(strError.c_str());
    return nullptr;
  }
  return new CLogFrame(strPath, std::move(pDoc), pParent);
}

CLogFrame::CLogFrame(const QString& strPath, std::shared_ptr<CZK7LogDoc> pDoc, QWidget* pParent)
    : QWidget(pParent), m_strPath(strPath), m_pDoc(std::move(pDoc)), m_pView(new CZK7LogView(m_pDoc, this)) {
  auto* pLayout = new QVBoxLayout(this);
  pLayout->setContentsMargins(0, 0, 0, 0);
  pLayout->addWidget(m_pView);
  setFocusProxy(m_pView);
  setWindowTitle(GetTitle());
  connect(m_pView->selectionModel(), &QItemSelectionModel::selectionChanged, this, &CLogFrame::commandStateChanged);
}

QString CLogFrame::GetPathName() const { return m_strPath; }

QString CLogFrame::GetTitle() const { return QFileInfo(m_strPath).fileName(); }

bool CLogFrame::CanCopy() const { return m_pView->HasSelection(); }

bool CLogFrame::CanPrint() const { return m_pView->HasSelection(); }

void CLogFrame::Copy() { m_pView->Copy(); }

void CLogFrame::SelectAll() { m_pView->selectAll(); }

void CLogFrame::Print() { m_pView->Print(); }

void CLogFrame::PrintPreview() { m_pView->PrintPreview(); }

bool CLogFrame::PrintTo(QPrinter& printer) const { return m_pView->PrintTo(printer); }

} // namespace zk7
