// The "Cursors" tool bar.
#include "history/CursorsToolBar.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QSignalBlocker>

#include "history/HistViewState.h"
#include "strings/StringTable.h"

namespace zk7 {

namespace {

QLabel* MakeReadout(QWidget* pParent) {
  auto* p = new QLabel(pParent);
  p->setFrameShape(QFrame::StyledPanel);
  p->setFrameShadow(QFrame::Sunken);
  p->setMinimumWidth(90);
  p->setMinimumHeight(34);
  p->setTextInteractionFlags(Qt::TextSelectableByMouse);
  return p;
}

// The readouts break their lines with CR LF, as the clipboard would.
QString Lines(const std::string& str) {
  return QString::fromLatin1(str).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

} // namespace

CCursorsToolBar::CCursorsToolBar(QWidget* pOwner) : QWidget(pOwner, Qt::Tool) {
  setObjectName(QStringLiteral("cursorsToolBar"));
  setWindowTitle(QString::fromLatin1(LoadString(IDS_CURSORS_TITLE)));
  auto* pLayout = new QHBoxLayout(this);
  for (int n = 1; n <= 2; ++n) {
    sCursorControls& c = m_aCursor[n - 1];
    c.pGroup = new QGroupBox(this);
    c.pShown = new QCheckBox(n == 1 ? QStringLiteral("C&ursor 1") : QStringLiteral("Cu&rsor 2"), c.pGroup);
    c.pLocked = new QRadioButton(QStringLiteral("Locked"), c.pGroup);
    c.pFree = new QRadioButton(QStringLiteral("Free"), c.pGroup);
    auto* pModes = new QButtonGroup(c.pGroup);
    pModes->addButton(c.pLocked);
    pModes->addButton(c.pFree);
    c.pChannel = new QComboBox(c.pGroup);
    c.pXLabel = new QLabel(QStringLiteral("X ="), c.pGroup);
    c.pYLabel = new QLabel(QStringLiteral("Y ="), c.pGroup);
    c.pX = MakeReadout(c.pGroup);
    c.pY = MakeReadout(c.pGroup);
    auto* pGrid = new QGridLayout(c.pGroup);
    pGrid->addWidget(c.pShown, 0, 0, 1, 2);
    pGrid->addWidget(c.pLocked, 1, 0);
    pGrid->addWidget(c.pFree, 1, 1);
    pGrid->addWidget(c.pChannel, 2, 0, 1, 2);
    pGrid->addWidget(c.pXLabel, 3, 0);
    pGrid->addWidget(c.pX, 3, 1);
    pGrid->addWidget(c.pYLabel, 4, 0);
    pGrid->addWidget(c.pY, 4, 1);
    pLayout->addWidget(c.pGroup);
    connect(c.pShown, &QCheckBox::clicked, this, [this, n] { emit shownToggled(n); });
    connect(c.pLocked, &QRadioButton::clicked, this, [this, n] { emit lockModeClicked(n); });
    connect(c.pFree, &QRadioButton::clicked, this, [this, n] { emit lockModeClicked(n); });
    connect(c.pChannel, &QComboBox::activated, this, [this, n] { emit channelChosen(n); });
  }
  m_pDelta = new QGroupBox(QStringLiteral("Delta (2 - 1)"), this);
  m_pDXLabel = new QLabel(QStringLiteral("dX ="), m_pDelta);
  m_pDYLabel = new QLabel(QStringLiteral("dY ="), m_pDelta);
  m_pDX = MakeReadout(m_pDelta);
  m_pDY = MakeReadout(m_pDelta);
  auto* pGrid = new QGridLayout(m_pDelta);
  pGrid->addWidget(m_pDXLabel, 0, 0);
  pGrid->addWidget(m_pDX, 0, 1);
  pGrid->addWidget(m_pDYLabel, 1, 0);
  pGrid->addWidget(m_pDY, 1, 1);
  pLayout->addWidget(m_pDelta);
}

void CCursorsToolBar::Fill(const sHistViewState& state) {
  for (int n = 1; n <= 2; ++n) {
    const sCursorControls& c = m_aCursor[n - 1];
    const sCursorState& s = state.m_aCursors[n - 1];
    const QSignalBlocker b1(c.pShown), b2(c.pLocked), b3(c.pFree), b4(c.pChannel);
    c.pShown->setChecked(s.m_bShown);
    c.pLocked->setChecked(s.m_bLocked);
    c.pFree->setChecked(!s.m_bLocked);
    c.pChannel->clear();
    for (const std::string& str : state.m_aCursorChannelTexts) c.pChannel->addItem(QString::fromLatin1(str));
    c.pChannel->setCurrentIndex(s.m_nChannelChoice < c.pChannel->count() ? s.m_nChannelChoice : -1);
    c.pX->setText(Lines(s.m_strX));
    c.pY->setText(Lines(s.m_strY));
    for (QWidget* p : {static_cast<QWidget*>(c.pLocked), static_cast<QWidget*>(c.pFree),
                       static_cast<QWidget*>(c.pChannel), static_cast<QWidget*>(c.pXLabel),
                       static_cast<QWidget*>(c.pYLabel)})
      p->setEnabled(s.m_bShown);
  }
  const bool bBoth = state.m_aCursors[0].m_bShown && state.m_aCursors[1].m_bShown;
  for (QWidget* p : {static_cast<QWidget*>(m_pDelta), static_cast<QWidget*>(m_pDXLabel),
                     static_cast<QWidget*>(m_pDYLabel)})
    p->setEnabled(bBoth);
  m_pDX->setText(Lines(state.m_strDeltaX));
  m_pDY->setText(Lines(state.m_strDeltaY));
}

void CCursorsToolBar::CopyTo(sHistViewState& state) const {
  for (int n = 1; n <= 2; ++n) {
    const sCursorControls& c = m_aCursor[n - 1];
    sCursorState& s = state.m_aCursors[n - 1];
    s.m_bShown = c.pShown->isChecked();
    s.m_bLocked = c.pLocked->isChecked();
    s.m_nChannelChoice = std::max(0, c.pChannel->currentIndex());
  }
}

QString CCursorsToolBar::GetXText(int n) const { return m_aCursor[n - 1].pX->text(); }
QString CCursorsToolBar::GetYText(int n) const { return m_aCursor[n - 1].pY->text(); }
QString CCursorsToolBar::GetDeltaXText() const { return m_pDX->text(); }
QString CCursorsToolBar::GetDeltaYText() const { return m_pDY->text(); }

} // namespace zk7
