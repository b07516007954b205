// The floating "Cursors" tool bar: per cursor its shown box, Locked / Free, the
// channel it locks to and its X and Y readouts; the delta of cursor 2 - 1.
#pragma once
#include <QWidget>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QRadioButton;

namespace zk7 {

struct sHistViewState;

class CCursorsToolBar : public QWidget {
  Q_OBJECT
public:
  explicit CCursorsToolBar(QWidget* pOwner);

  // Frame values into the controls, and the enabling rules.
  void Fill(const sHistViewState& state);
  // Control values into the frame.
  void CopyTo(sHistViewState& state) const;

  QCheckBox* ShownBox(int n) const { return m_aCursor[n - 1].pShown; }
  QRadioButton* LockedButton(int n) const { return m_aCursor[n - 1].pLocked; }
  QRadioButton* FreeButton(int n) const { return m_aCursor[n - 1].pFree; }
  QComboBox* ChannelBox(int n) const { return m_aCursor[n - 1].pChannel; }
  QString GetXText(int n) const;
  QString GetYText(int n) const;
  QString GetDeltaXText() const;
  QString GetDeltaYText() const;

signals:
  void shownToggled(int n);
  void lockModeClicked(int n);
  void channelChosen(int n);

private:
  struct sCursorControls {
    QGroupBox* pGroup = nullptr;
    QCheckBox* pShown = nullptr;
    QRadioButton* pLocked = nullptr;
    QRadioButton* pFree = nullptr;
    QComboBox* pChannel = nullptr;
    QLabel* pXLabel = nullptr;
    QLabel* pYLabel = nullptr;
    QLabel* pX = nullptr;
    QLabel* pY = nullptr;
  };
  sCursorControls m_aCursor[2];
  QGroupBox* m_pDelta;
  QLabel* m_pDXLabel;
  QLabel* m_pDYLabel;
  QLabel* m_pDX;
  QLabel* m_pDY;
};

} // namespace zk7
