// CDlgInfosResFile: the information dialog of one results file (configuration
// name, start, first record, duration, cycles, channels).
#pragma once
#include <QDialog>

namespace zk7 {

struct sResultsFileInfo;

class CDlgInfosResFile : public QDialog {
  Q_OBJECT
public:
  CDlgInfosResFile(const sResultsFileInfo& info, QWidget* pParent = nullptr);

  // The value shown next to a label ("Cycles count:"); empty for an unknown label.
  QString GetValue(const QString& strLabel) const;
};

} // namespace zk7
