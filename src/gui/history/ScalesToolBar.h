// The floating "Scales" tool bar: manual and automatic ranges of X, Y1 and Y2,
// the history end "Fixed to" a date, the history length, and "Full File".
#pragma once
#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace zk7 {

struct sScalesToolState;

class CScalesToolBar : public QWidget {
  Q_OBJECT
public:
  explicit CScalesToolBar(QWidget* pOwner);

  void Fill(const sScalesToolState& state);
  void CopyTo(sScalesToolState& state) const;

  // Axis 1 X, 2 Y1, 3 Y2.
  QLineEdit* MinEdit(int nAxis) const { return m_aAxis[nAxis - 1].pMin; }
  QLineEdit* MaxEdit(int nAxis) const { return m_aAxis[nAxis - 1].pMax; }
  QPushButton* ApplyButton(int nAxis) const { return m_aAxis[nAxis - 1].pApply; }
  QPushButton* AutoButton(int nAxis) const { return m_aAxis[nAxis - 1].pAuto; }
  QCheckBox* FixedToBox() const { return m_pFixedTo; }
  QLineEdit* FixedDateEdit() const { return m_pFixedDate; }
  QPushButton* CurrentDateButton() const { return m_pCurrentDate; }
  QLineEdit* DaysEdit() const { return m_pDays; }
  QLineEdit* TimeEdit() const { return m_pTime; }
  QPushButton* HistoryButton() const { return m_pHistoryOn; }
  QPushButton* FullFileButton() const { return m_pFullFile; }

signals:
  void applyScale(int nAxis);
  void autoScale(int nAxis);
  void fixedToToggled();
  void applyFixedDate();
  void applyHistoryLength();
  void fullFile();

private:
  struct sAxisControls {
    QLabel* pLabel = nullptr;
    QLineEdit* pMin = nullptr;
    QLineEdit* pMax = nullptr;
    QPushButton* pApply = nullptr;
    QPushButton* pAuto = nullptr;
  };
  sAxisControls m_aAxis[3];
  QCheckBox* m_pFixedTo;
  QLineEdit* m_pFixedDate;
  QPushButton* m_pCurrentDate;
  QPushButton* m_pHistoryOn;
  QLineEdit* m_pDays;
  QLineEdit* m_pTime;
  QPushButton* m_pFullFile;
};

} // namespace zk7
