// The "Scales" tool bar.
#include "history/ScalesToolBar.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

#include "history/ScalesToolState.h"
#include "strings/StringTable.h"

namespace zk7 {

CScalesToolBar::CScalesToolBar(QWidget* pOwner) : QWidget(pOwner, Qt::Tool) {
  setObjectName(QStringLiteral("scalesToolBar"));
  setWindowTitle(QString::fromLatin1(LoadString(IDS_SCALES_TITLE)));
  auto* pGrid = new QGridLayout(this);
  static const char* const LABELS[3] = {"Scale &X:", "S&cale Y1:", "Sc&ale Y2:"};
  static const char* const AUTOS[3] = {"Auto X", "Auto Y1", "Auto Y2"};
  for (int a = 0; a < 3; ++a) {
    sAxisControls& c = m_aAxis[a];
    c.pLabel = new QLabel(QString::fromLatin1(LABELS[a]), this);
    c.pMin = new QLineEdit(this);
    c.pMax = new QLineEdit(this);
    c.pLabel->setBuddy(c.pMin);
    c.pApply = new QPushButton(QStringLiteral("Min/Max"), this);
    c.pAuto = new QPushButton(QString::fromLatin1(AUTOS[a]), this);
    pGrid->addWidget(c.pLabel, a, 0);
    pGrid->addWidget(c.pMin, a, 1);
    pGrid->addWidget(c.pMax, a, 2);
    pGrid->addWidget(c.pApply, a, 3);
    pGrid->addWidget(c.pAuto, a, 4);
    const int nAxis = a + 1;
    connect(c.pApply, &QPushButton::clicked, this, [this, nAxis] { emit applyScale(nAxis); });
    connect(c.pAuto, &QPushButton::clicked, this, [this, nAxis] { emit autoScale(nAxis); });
  }
  m_pFixedTo = new QCheckBox(QStringLiteral("Fixed to"), this);
  m_pFixedDate = new QLineEdit(this);
  m_pCurrentDate = new QPushButton(QStringLiteral("Current &Date:"), this);
  m_pHistoryOn = new QPushButton(QStringLiteral("&History on:"), this);
  m_pDays = new QLineEdit(this);
  m_pTime = new QLineEdit(this);
  m_pFullFile = new QPushButton(QStringLiteral("Full\nFile"), this);
  pGrid->addWidget(m_pFixedTo, 3, 0);
  pGrid->addWidget(m_pFixedDate, 3, 1, 1, 2);
  pGrid->addWidget(m_pCurrentDate, 3, 3);
  pGrid->addWidget(m_pHistoryOn, 4, 0);
  pGrid->addWidget(m_pDays, 4, 1);
  auto* pDaysLabel = new QLabel(QStringLiteral("days and"), this);
  pGrid->addWidget(pDaysLabel, 4, 2);
  pGrid->addWidget(m_pTime, 4, 3);
  pGrid->addWidget(new QLabel(QStringLiteral("(hh:mm:ss)"), this), 4, 4);
  pGrid->addWidget(m_pFullFile, 3, 4);
  connect(m_pFixedTo, &QCheckBox::clicked, this, &CScalesToolBar::fixedToToggled);
  connect(m_pCurrentDate, &QPushButton::clicked, this, &CScalesToolBar::applyFixedDate);
  connect(m_pHistoryOn, &QPushButton::clicked, this, &CScalesToolBar::applyHistoryLength);
  connect(m_pFullFile, &QPushButton::clicked, this, &CScalesToolBar::fullFile);
}

void CScalesToolBar::Fill(const sScalesToolState& s) {
  const std::string* aTexts[3][2] = {
      {&s.m_strXMin, &s.m_strXMax}, {&s.m_strY1Min, &s.m_strY1Max}, {&s.m_strY2Min, &s.m_strY2Max}};
  const bool aUsed[3] = {s.m_bXChannelSet, s.m_bY1Used, s.m_bY2Used};
  const bool aManual[3] = {s.m_bXManual, s.m_bY1Manual, s.m_bY2Manual};
  for (int a = 0; a < 3; ++a) {
    const sAxisControls& c = m_aAxis[a];
    c.pMin->setText(QString::fromLatin1(*aTexts[a][0]));
    c.pMax->setText(QString::fromLatin1(*aTexts[a][1]));
    for (QWidget* p : {static_cast<QWidget*>(c.pLabel), static_cast<QWidget*>(c.pMin),
                       static_cast<QWidget*>(c.pMax), static_cast<QWidget*>(c.pApply)})
      p->setEnabled(aUsed[a]);
    c.pAuto->setEnabled(aUsed[a] && aManual[a]);
  }
  const QSignalBlocker block(m_pFixedTo);
  m_pFixedTo->setChecked(s.m_bFixedTo);
  m_pFixedDate->setText(QString::fromLatin1(s.m_strFixedDate));
  m_pFixedDate->setEnabled(s.m_bFixedTo);
  m_pDays->setText(QString::fromLatin1(s.m_strDays));
  m_pTime->setText(QString::fromLatin1(s.m_strTime));
}

void CScalesToolBar::CopyTo(sScalesToolState& s) const {
  std::string* aTexts[3][2] = {{&s.m_strXMin, &s.m_strXMax}, {&s.m_strY1Min, &s.m_strY1Max}, {&s.m_strY2Min, &s.m_strY2Max}};
  for (int a = 0; a < 3; ++a) {
    *aTexts[a][0] = m_aAxis[a].pMin->text().toLatin1().toStdString();
    *aTexts[a][1] = m_aAxis[a].pMax->text().toLatin1().toStdString();
  }
  s.m_bFixedTo = m_pFixedTo->isChecked();
  s.m_strFixedDate = m_pFixedDate->text().toLatin1().toStdString();
  s.m_strDays = m_pDays->text().toLatin1().toStdString();
  s.m_strTime = m_pTime->text().toLatin1().toStdString();
}

} // namespace zk7
