// CHistCopyFormatDialog: what "Copy" puts on the clipboard in a results-file
// window: the graph, the key, the selected records or all records.
#pragma once
#include <QDialog>

class QButtonGroup;

namespace zk7 {

class CHistCopyFormatDialog : public QDialog {
  Q_OBJECT
public:
  explicit CHistCopyFormatDialog(QWidget* pParent = nullptr);

  // eCopyChoice: 0 graph, 1 key, 2 selected records, 3 all records. Set before
  // showing; read back after OK.
  int m_nChoice = 0;

public slots:
  void accept() override;

protected:
  void showEvent(QShowEvent* pEvent) override;

private:
  QButtonGroup* m_pGroup;
};

} // namespace zk7
