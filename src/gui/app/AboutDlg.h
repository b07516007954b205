// CAboutDlg: the About box: the program's name, version and legal notice, and
// the versions of the components it is built on.
#pragma once
#include <QDialog>

class QLabel;

namespace zk7 {

class CAboutDlg : public QDialog {
  Q_OBJECT
public:
  explicit CAboutDlg(QWidget* pParent = nullptr);

  // The texts shown: program line, legal notice, and the two component lines.
  QString GetProductLine() const;
  QString GetLegalNotice() const;
  QStringList GetComponentLines() const;

private:
  QLabel* m_pProduct;
  QLabel* m_pLegal;
  QLabel* m_pPlotComponent;
  QLabel* m_pQtComponent;
};

} // namespace zk7
