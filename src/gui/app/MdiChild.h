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
  // What the status bar shows while this window is active (a live view's
  // state); empty for the usual "Ready".
  const QString& GetStatusText() const { return m_strStatus; }
  void SetStatusText(const QString& strText);

signals:
  // The content's selection or state changed: the command states are due again.
  void commandStateChanged();
  // The window is being destroyed: its target must not be used any more.
  void closing(zk7::CMdiChild* pChild);
  void statusTextChanged();

private:
  unsigned m_nMenuId;
  QString m_strPath;
  QString m_strTitle;
  QString m_strStatus;
  const void* m_pDocumentKey;
  ICommandTarget* m_pTarget;
  std::unique_ptr<ICommandTarget> m_pOwnedTarget;
};

} // namespace zk7
