// CMdiChild: one document window inside the main window: its content, the menu
// set it shows while active, and the target its commands go to.
#pragma once
#include <memory>

#include <QMdiSubWindow>
#include <QString>

namespace zk7 {

class ICommandTarget;

class CMdiChild : public QMdiSubWindow {
  Q_OBJECT
public:
  // pTarget receives the window's commands; pOwnedTarget, when given, is kept
  // alive with the window (an adapter in front of the content).
  CMdiChild(unsigned nMenuId, const QString& strPath, const QString& strTitle, const void* pDocumentKey,
            QWidget* pContent, ICommandTarget* pTarget, std::unique_ptr<ICommandTarget> pOwnedTarget = {});
  ~CMdiChild() override;

  unsigned GetMenuId() const { return m_nMenuId; }
  const QString& GetPathName() const { return m_strPath; }
  const QString& GetDocumentTitle() const { return m_strTitle; }
  // Windows of one document share this key.
  const void* GetDocumentKey() const { return m_pDocumentKey; }
  QWidget* GetContent() const { return widget(); }
  ICommandTarget* GetTarget() const { return m_pTarget; }

signals:
  // The content's selection or state changed: the command states are due again.
  void commandStateChanged();
  // The window is being destroyed: its target must not be used any more.
  void closing(zk7::CMdiChild* pChild);

private:
  unsigned m_nMenuId;
  QString m_strPath;
  QString m_strTitle;
  const void* m_pDocumentKey;
  ICommandTarget* m_pTarget;
  std::unique_ptr<ICommandTarget> m_pOwnedTarget;
};

} // namespace zk7
