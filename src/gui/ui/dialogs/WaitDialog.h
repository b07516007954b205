// CWaitDialog: the modeless wait dialog of long operations: a status line, a
// progress bar with its percentage, and a Cancel button the operation polls.
#pragma once
#include <QDialog>
#include <QPointer>
#include <QString>

class QLabel;
class QProgressBar;
class QPushButton;

namespace zk7 {

class CWaitDialog : public QDialog {
  Q_OBJECT
public:
  // nCaptionId: string id of the caption; 0 keeps "Please wait...".
  explicit CWaitDialog(unsigned nCaptionId = 0);
  ~CWaitDialog() override;

  // Opens the dialog over pParent (or the application's main window) and disables
  // that owner while it is open, unless it was disabled already. 1 when the
  // window exists, else 0.
  int Create(QWidget* pParent = nullptr);
  void SetRange(int nLower, int nUpper);
  void SetPos(int nPos);
  // SetPos without handling waiting events: for work that runs on another thread
  // and posts its progress, which must arrive in order.
  void ShowPos(int nPos);
  void SetStep(int nStep);
  void SetStatusText(const QString& strText);
  // 1 when Cancel was pressed since the last call, else 0; clears the flag.
  int CheckCancel();
  void PumpMessages();
  // Closes the window and gives the owner back its input.
  void DestroyWindow();

  unsigned m_nCaptionId;
  int m_nLower = 0;
  int m_nUpper = 100;
  int m_nStep = 10;
  bool m_bCancelled = false;
  bool m_bOwnerDisabled = false;

  QString GetPercentText() const;
  QString GetStatusText() const;
  QProgressBar* GetProgressBar() const { return m_pProgress; }
  QPushButton* GetCancelButton() const { return m_pCancel; }

signals:
  // Cancel, Escape or the close box, the moment it is pressed: work running on
  // another thread can stop at once instead of at its next check.
  void cancelRequested();

public slots:
  void reject() override;

protected:
  void closeEvent(QCloseEvent* pEvent) override;

private:
  QPointer<QWidget> m_pOwner;
  QPointer<QWidget> m_pOwnerFocus;  // disabling the owner moves its focus on: it comes back after
  QLabel* m_pStatus;
  QLabel* m_pPercent;
  QProgressBar* m_pProgress;
  QPushButton* m_pCancel;
};

} // namespace zk7
