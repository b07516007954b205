// CGetDateDialog: the "Enter date" dialog of "Go to Date": one date and time,
// read back with the user's date format.
#pragma once
#include <QDialog>

class QLineEdit;

namespace zk7 {

class CGetDateDialog : public QDialog {
  Q_OBJECT
public:
  CGetDateDialog(bool bWithDate, bool bWithFraction, QWidget* pParent = nullptr);

  void SetDate(double dDate);
  double GetDate() const { return m_dDate; }
  QLineEdit* GetEdit() const { return m_pEdit; }

public slots:
  void accept() override;

protected:
  void showEvent(QShowEvent* pEvent) override;

private:
  bool m_bWithDate;
  bool m_bWithFraction;
  double m_dDate = 0;
  QLineEdit* m_pEdit;
};

} // namespace zk7
