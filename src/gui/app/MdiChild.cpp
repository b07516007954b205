// Document windows of the main window.
#include "app/MdiChild.h"

#include "ui/CommandTarget.h"

namespace zk7 {

CMdiChild::CMdiChild(unsigned nMenuId, const QString& strPath, const QString& strTitle, const void* pDocumentKey,
                     QWidget* pContent, ICommandTarget* pTarget, std::unique_ptr<ICommandTarget> pOwnedTarget)
    : m_nMenuId(nMenuId),
      m_strPath(strPath),
      m_strTitle(strTitle),
      m_pDocumentKey(pDocumentKey),
      m_pTarget(pTarget),
      m_pOwnedTarget(std::move(pOwnedTarget)) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWidget(pContent);
  setWindowTitle(strTitle);
}

CMdiChild::~CMdiChild() {
  emit closing(this);
  m_pTarget = nullptr;
  // The adapter refers to the content: it goes first.
  m_pOwnedTarget.reset();
}

void CMdiChild::SetStatusText(const QString& strText) {
  if (strText == m_strStatus) return;
  m_strStatus = strText;
  emit statusTextChanged();
}

} // namespace zk7
