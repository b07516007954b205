// The QCustomPlot surface of the history graph.
#include "history/graph/GraphControl.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include <QToolTip>

#include "history/GraphPoints.h"
#include "history/GraphZoom.h"
#include "history/StackedLanes.h"
#include "history/graph/GraphCursor.h"
#include "history/graph/TimeAxisTicker.h"

namespace zk7 {

namespace {

constexpr int CURSOR_GRAB_PIXELS = 8;
// How near a curve's point the pointer must rest for its tooltip.
constexpr int TOOLTIP_PIXELS = 5;
// Points looked at per curve for a tooltip: under a few pixels of a dense curve
// lie thousands of records, and the pointer must not wait for all of them.
constexpr int TOOLTIP_SCAN_LIMIT = 65536;
const QColor MARK_GREY(0x80, 0x80, 0x80);

} // namespace

QColor ColourFromRef(uint32_t n) { return QColor(n & 0xFF, (n >> 8) & 0xFF, (n >> 16) & 0xFF); }

CGraphControl::CGraphControl(QWidget* pParent) : QCustomPlot(pParent), m_pTimeTicker(new CTimeAxisTicker) {
  setFocusPolicy(Qt::StrongFocus);
  setPlottingHints(QCP::phFastPolylines | QCP::phCacheLabels);
  setNotAntialiasedElements(QCP::aePlottables | QCP::aeGrid | QCP::aeSubGrid | QCP::aeAxes | QCP::aeItems);
  setAntialiasedElements(QCP::aeNone);
  xAxis->setTicker(m_pTimeTicker);
  yAxis2->setVisible(false);
  xAxis2->setVisible(false);
  for (QCPAxis* p : {xAxis, yAxis, yAxis2}) {
    p->grid()->setVisible(false);
    p->grid()->setPen(QPen(QColor(0xA0, 0xA0, 0xA0), 0, Qt::DotLine));
    p->setSubTicks(false);
  }
  yAxis2->setTickLabels(true);
  axisRect()->setRangeZoomAxes({xAxis}, {yAxis, yAxis2});
  axisRect()->setRangeDragAxes({xAxis}, {yAxis, yAxis2});
  // Cursors and marks on a buffered layer of their own: dragging a cursor
  // repaints that layer only, not the curves.
  addLayer(QStringLiteral("cursors"), layer(QStringLiteral("main")), QCustomPlot::limAbove);
  m_pCursorLayer = layer(QStringLiteral("cursors"));
  m_pCursorLayer->setMode(QCPLayer::lmBuffered);
  for (int k = 0; k < 4; ++k) {
    auto* p = new QCPItemStraightLine(this);
    p->setLayer(QStringLiteral("main"));
    p->setSelectable(false);
    p->setVisible(false);
    m_aAlarmLines[static_cast<size_t>(k)] = p;
  }
  m_pCursors[0] = std::make_unique<CGraphCursor>(this, m_pCursorLayer, Qt::blue, QStringLiteral("C1"), false);
  m_pCursors[1] = std::make_unique<CGraphCursor>(this, m_pCursorLayer, Qt::red, QStringLiteral("C2"), false);
  for (auto& p : m_pCursors) p->SetVisible(false);
  // After the layout, so that the curves are fed for the axis rect's new width.
  connect(this, &QCustomPlot::afterLayout, this, [this] { UpdateCurves(); });
  connect(this, &QCustomPlot::beforeReplot, this, [this] { ApplyLanes(); });
  SetTrackMode(TRACK_CURSORS);
}

CGraphControl::~CGraphControl() {
  RemoveLanes();
  m_aMarks.clear();
  m_pCursors[0].reset();
  m_pCursors[1].reset();
}

void CGraphControl::SetPoints(const CGraphPoints* pPoints) {
  m_pPoints = pPoints;
  for (sPlot& p : m_aPlots) p.nFedColumns = -1;
  LanesChanged();
}

void CGraphControl::RemoveAllPlotData() {
  m_pPoints = nullptr;
  for (sPlot& p : m_aPlots) {
    p.pCurve->data()->clear();
    p.nFedColumns = -1;
  }
}

void CGraphControl::SetPlotAreaColour(const QColor& colour) {
  axisRect()->setBackground(QBrush(colour));
  for (const sLane& lane : m_aLanes) lane.pRect->setBackground(QBrush(colour));
}
QColor CGraphControl::GetPlotAreaColour() const { return axisRect()->backgroundBrush().color(); }

void CGraphControl::RemoveAllPlots() {
  RemoveLanes();
  LanesChanged();
  for (sPlot& p : m_aPlots) removePlottable(p.pCurve);
  m_aPlots.clear();
}

int CGraphControl::AddPlot(const QString& strName, const QColor& colour) {
  sPlot p;
  p.pCurve = new QCPCurve(xAxis, yAxis);
  p.pCurve->setName(strName);
  p.pCurve->setPen(QPen(colour, 0));
  p.pCurve->setAntialiased(false);
  p.pCurve->setSelectable(QCP::stNone);
  ApplyPlotStyle(p);
  m_aPlots.push_back(p);
  LanesChanged();
  return static_cast<int>(m_aPlots.size()) - 1;
}

void CGraphControl::ApplyPlotStyle(sPlot& p) {
  if (m_bLinkPoints) {
    p.pCurve->setLineStyle(QCPCurve::lsLine);
    p.pCurve->setScatterStyle(QCPScatterStyle::ssNone);
  } else {
    p.pCurve->setLineStyle(QCPCurve::lsNone);
    p.pCurve->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssCross, p.pCurve->pen().color(), 5));
  }
}

void CGraphControl::SetPlotAxis(int nPlot, eAxis eOn) {
  sPlot& p = m_aPlots.at(static_cast<size_t>(nPlot));
  p.eOn = eOn;
  // The lanes hold the curves on their own axes: put every curve back first.
  RemoveLanes();
  LanesChanged();
  p.pCurve->setValueAxis(eOn == AXIS_Y2 ? yAxis2 : yAxis);
  p.pCurve->setVisible(p.bShown && eOn != AXIS_HIDDEN);
  p.nFedColumns = -1;
}

CGraphControl::eAxis CGraphControl::GetPlotAxis(int nPlot) const { return m_aPlots.at(static_cast<size_t>(nPlot)).eOn; }

void CGraphControl::ShowPlot(int nPlot, bool bShow) {
  sPlot& p = m_aPlots.at(static_cast<size_t>(nPlot));
  if (p.bShown != bShow) LanesChanged();
  p.bShown = bShow;
  p.pCurve->setVisible(bShow && p.eOn != AXIS_HIDDEN);
}

bool CGraphControl::IsPlotShown(int nPlot) const { return m_aPlots.at(static_cast<size_t>(nPlot)).pCurve->visible(); }
QColor CGraphControl::GetPlotColour(int nPlot) const { return m_aPlots.at(static_cast<size_t>(nPlot)).pCurve->pen().color(); }
int CGraphControl::GetPlotDataCount(int nPlot) const { return m_aPlots.at(static_cast<size_t>(nPlot)).pCurve->dataCount(); }
QString CGraphControl::GetPlotName(int nPlot) const { return m_aPlots.at(static_cast<size_t>(nPlot)).pCurve->name(); }

void CGraphControl::SetLinkPoints(bool bLink) {
  m_bLinkPoints = bLink;
  for (sPlot& p : m_aPlots) ApplyPlotStyle(p);
}

QCPAxis* CGraphControl::Axis(eAxis e) const {
  switch (e) {
    case AXIS_X: return xAxis;
    case AXIS_Y2: return yAxis2;
    default: return yAxis;
  }
}

void CGraphControl::GetAxisRange(eAxis e, double& dMin, double& dMax) const {
  const QCPRange r = Axis(e)->range();
  dMin = r.lower;
  dMax = r.upper;
}

void CGraphControl::SetAxisRange(eAxis e, double dMin, double dMax) { Axis(e)->setRange(dMin, dMax); }

void CGraphControl::SetAutoScale(eAxis e, bool bAuto) { m_aAuto[static_cast<size_t>(e - 1)] = bAuto; }
bool CGraphControl::IsAutoScale(eAxis e) const { return m_aAuto[static_cast<size_t>(e - 1)]; }

void CGraphControl::RescaleNow(eAxis e) {
  if (!m_pPoints || m_pPoints->IsEmpty()) return;
  double dMin = INFINITY, dMax = -INFINITY;
  if (e == AXIS_X) {
    if (!m_pPoints->GetXRange(dMin, dMax)) return;
  } else {
    for (int i = 0; i < GetPlotCount() && i < m_pPoints->GetChannelCount(); ++i) {
      const sPlot& p = m_aPlots[static_cast<size_t>(i)];
      if (!p.bShown || p.eOn != e) continue;
      double a, b;
      if (m_pPoints->GetValueRange(i, a, b)) dMin = std::min(dMin, a), dMax = std::max(dMax, b);
    }
    if (dMin > dMax) return;
  }
  // A little room above and below, so that the extremes do not run on the frame.
  double dPad = (dMax - dMin) * 0.03;
  if (dPad <= 0) dPad = std::max(std::fabs(dMax) * 0.05, 1.0);
  Axis(e)->setRange(dMin - dPad, dMax + dPad);
}

// While the lanes are laid out the time caption sits under the bottom lane and
// Y1 and Y2 are hidden; what the classic view shows is kept for its return.
void CGraphControl::SetAxisCaption(eAxis e, const QString& strCaption) {
  if (e == AXIS_X && !m_aLanes.empty()) {
    m_strXCaption = strCaption;
    m_aLanes.back().pX->setLabel(strCaption);
    return;
  }
  Axis(e)->setLabel(strCaption);
}

QString CGraphControl::GetAxisCaption(eAxis e) const {
  return e == AXIS_X && !m_aLanes.empty() ? m_strXCaption : Axis(e)->label();
}

void CGraphControl::ShowAxis(eAxis e, bool bShow) {
  if (e != AXIS_X && !m_aLanes.empty())
    Axis(e)->setProperty("zk7ShownBeforeLanes", bShow);
  else
    Axis(e)->setVisible(bShow);
}

bool CGraphControl::IsAxisShown(eAxis e) const {
  return e != AXIS_X && !m_aLanes.empty() ? Axis(e)->property("zk7ShownBeforeLanes").toBool() : Axis(e)->visible();
}

void CGraphControl::SetGrid(bool bGrid) {
  m_bGrid = bGrid;
  for (QCPAxis* p : {xAxis, yAxis, yAxis2}) p->grid()->setVisible(bGrid);
  for (const sLane& lane : m_aLanes)
    for (QCPAxis* p : {lane.pX, lane.pY}) p->grid()->setVisible(bGrid);
}

void CGraphControl::SetTimeAxis(int nTimeFormat, bool bShowFraction, int nDigits, int nDivisions) {
  m_bTimeAxis = true;
  m_pTimeTicker->SetFormat(nTimeFormat, bShowFraction, nDigits, nDivisions);
  xAxis->setTicker(m_pTimeTicker);
  for (const sLane& lane : m_aLanes) lane.pX->setTicker(m_pTimeTicker);
}

void CGraphControl::SetValueXAxis() {
  m_bTimeAxis = false;
  xAxis->setTicker(QSharedPointer<QCPAxisTicker>(new QCPAxisTicker));
  for (const sLane& lane : m_aLanes) lane.pX->setTicker(xAxis->ticker());
}

int CGraphControl::GetPlotPixelWidth() const { return std::max(1, axisRect()->width()); }
int CGraphControl::GetPlotPixelHeight() const { return std::max(1, axisRect()->height()); }

CGraphCursor& CGraphControl::Cursor(int n) const { return *m_pCursors[n == 2 ? 1 : 0]; }

void CGraphControl::SetCursorPoint(int n, int nPlot, int nPoint) {
  CGraphCursor& c = Cursor(n);
  c.m_nPlot = nPlot;
  if (!m_pPoints || nPlot < 0 || nPlot >= m_pPoints->GetChannelCount() || m_pPoints->IsEmpty()) {
    c.m_nPoint = -1;
    return;
  }
  const int nCount = m_pPoints->GetPointCount();
  if (nPoint >= nCount) {
    c.m_nPoint = nCount;
    c.SetPosition(xAxis->range().upper, c.GetY());
    return;
  }
  c.m_nPoint = std::max(nPoint, 0);
  c.SetPosition(m_pPoints->GetX(nPlot, c.m_nPoint), m_pPoints->GetY(nPlot, c.m_nPoint));
}

void CGraphControl::LockCursor(int n, int nPlot) {
  CGraphCursor& c = Cursor(n);
  if (nPlot < 0 || !m_pPoints) {
    c.m_nPlot = -1;
    c.m_nPoint = -1;
    return;
  }
  c.SetValueAxis(GetPlotAxis(nPlot) == AXIS_Y2 ? yAxis2 : yAxis);
  // A cursor parked beyond the last point stays there.
  if (c.m_nPlot == nPlot && c.m_nPoint >= m_pPoints->GetPointCount() && c.m_nPoint > 0) return;
  SetCursorPoint(n, nPlot, m_pPoints->FindPoint(nPlot, c.GetX()));
}

void CGraphControl::RemoveFixedMarks() { m_aMarks.clear(); }

void CGraphControl::AddFixedMark(double dX, int nNumber) {
  auto p = std::make_unique<CGraphCursor>(this, m_pCursorLayer, MARK_GREY, QString::number(nNumber), true);
  p->SetMarkerShown(false);
  p->SetPosition(dX, 0);
  m_aMarks.push_back(std::move(p));
}

double CGraphControl::GetFixedMarkX(int i) const { return m_aMarks.at(static_cast<size_t>(i))->GetX(); }

void CGraphControl::SetAlarmLine(int k, bool bShown, double dValue, const QColor& colour, eAxis eOn) {
  QCPItemStraightLine* p = m_aAlarmLines.at(static_cast<size_t>(k));
  m_aAlarmValues[static_cast<size_t>(k)] = dValue;
  QCPAxis* pValueAxis = eOn == AXIS_Y2 ? yAxis2 : yAxis;
  p->point1->setAxes(xAxis, pValueAxis);
  p->point2->setAxes(xAxis, pValueAxis);
  p->point1->setCoords(0, dValue);
  p->point2->setCoords(1, dValue);
  p->setPen(QPen(colour, 2, Qt::DashLine));
  m_aAlarmShown[static_cast<size_t>(k)] = bShown;
  // Their value axes are not shown in the lanes.
  p->setVisible(bShown && !m_bStacked);
}

bool CGraphControl::IsAlarmLineShown(int k) const { return m_aAlarmShown.at(static_cast<size_t>(k)); }
double CGraphControl::GetAlarmLineValue(int k) const { return m_aAlarmValues.at(static_cast<size_t>(k)); }
QColor CGraphControl::GetAlarmLineColour(int k) const { return m_aAlarmLines.at(static_cast<size_t>(k))->pen().color(); }

void CGraphControl::SetTrackMode(eTrackMode e) {
  m_eTrackMode = e;
  setSelectionRectMode(e == TRACK_ZOOM_RECT ? QCP::srmZoom : QCP::srmNone);
  setInteraction(QCP::iRangeDrag, e == TRACK_PAN);
}

void CGraphControl::UpdateCurves(int nColumns) {
  const int n = nColumns > 0 ? nColumns : GetPlotPixelWidth();
  for (int i = 0; i < GetPlotCount(); ++i) FeedPlot(i, n);
}

void CGraphControl::FeedPlot(int nPlot, int nColumns) {
  sPlot& p = m_aPlots[static_cast<size_t>(nPlot)];
  if (!p.pCurve->visible() || !m_pPoints || nPlot >= m_pPoints->GetChannelCount()) return;
  const QCPRange x = xAxis->range(), y = p.pCurve->valueAxis()->range();
  const bool bXY = m_pPoints->GetXChannel() >= 0;
  if (p.nFedColumns == nColumns && p.dFedMin == x.lower && p.dFedMax == x.upper &&
      (!bXY || (p.dFedYMin == y.lower && p.dFedYMax == y.upper)))
    return;
  std::vector<double> aX, aY;
  if (bXY)
    m_pPoints->GetXYDrawPoints(nPlot, x.lower, x.upper, y.lower, y.upper, nColumns, GetPlotPixelHeight(), aX, aY);
  else
    m_pPoints->GetDrawPoints(nPlot, x.lower, x.upper, nColumns, aX, aY);
  QVector<QCPCurveData> aData(static_cast<int>(aX.size()));
  for (size_t i = 0; i < aX.size(); ++i) aData[static_cast<int>(i)] = QCPCurveData(static_cast<double>(i), aX[i], aY[i]);
  p.pCurve->data()->set(aData, true);
  p.nFedColumns = nColumns;
  p.dFedMin = x.lower;
  p.dFedMax = x.upper;
  p.dFedYMin = y.lower;
  p.dFedYMax = y.upper;
}

void CGraphControl::RenderTo(QCPPainter& painter, int nWidth, int nHeight) {
  ApplyLanes();
  const int nOld = GetPlotPixelWidth();
  UpdateCurves(std::max(1, nWidth - (width() - nOld)));
  toPainter(&painter, nWidth, nHeight);
  UpdateCurves(nOld);
}

void CGraphControl::RenderAtScreenSize(QCPPainter& painter, int nWidth, int nHeight, int nScreenDpi) {
  // A font given in points is sized by the device it is drawn on: on a
  // printer it would come out at the printer's resolution and then be
  // scaled up once more with the page.
  auto atScreen = [nScreenDpi](const QFont& font) {
    if (font.pointSizeF() <= 0) return font;
    QFont f(font);
    f.setPixelSize(std::max(1, qRound(font.pointSizeF() * nScreenDpi / 72.0)));
    return f;
  };
  struct sAxisFonts {
    QCPAxis* pAxis;
    QFont label, tickLabel, selectedLabel, selectedTickLabel;
  };
  std::vector<sAxisFonts> aAxes;
  ApplyLanes();
  QList<QCPAxis*> aAll;
  for (QCPAxisRect* pRect : axisRects()) aAll += pRect->axes();
  for (QCPAxis* p : aAll) {
    aAxes.push_back({p, p->labelFont(), p->tickLabelFont(), p->selectedLabelFont(), p->selectedTickLabelFont()});
    p->setLabelFont(atScreen(p->labelFont()));
    p->setTickLabelFont(atScreen(p->tickLabelFont()));
    p->setSelectedLabelFont(atScreen(p->selectedLabelFont()));
    p->setSelectedTickLabelFont(atScreen(p->selectedTickLabelFont()));
  }
  struct sTextFonts {
    QCPItemText* pText;
    QFont font, selected;
  };
  std::vector<sTextFonts> aTexts;
  for (int i = 0; i < itemCount(); ++i)
    if (auto* pText = qobject_cast<QCPItemText*>(item(i))) {
      aTexts.push_back({pText, pText->font(), pText->selectedFont()});
      pText->setFont(atScreen(pText->font()));
      pText->setSelectedFont(atScreen(pText->selectedFont()));
    }
  RenderTo(painter, nWidth, nHeight);
  for (const sAxisFonts& a : aAxes) {
    a.pAxis->setLabelFont(a.label);
    a.pAxis->setTickLabelFont(a.tickLabel);
    a.pAxis->setSelectedLabelFont(a.selectedLabel);
    a.pAxis->setSelectedTickLabelFont(a.selectedTickLabel);
  }
  for (const sTextFonts& t : aTexts) {
    t.pText->setFont(t.font);
    t.pText->setSelectedFont(t.selected);
  }
}

void CGraphControl::mousePressEvent(QMouseEvent* pEvent) {
  if (pEvent->button() == Qt::LeftButton) {
    emit mouseDownLeft(pEvent->modifiers());
    if (m_eTrackMode == TRACK_CURSORS) {
      // The nearest shown cursor within reach of the press follows the mouse.
      m_nDraggedCursor = 0;
      double dBest = CURSOR_GRAB_PIXELS + 1;
      for (int n = 1; n <= 2; ++n) {
        const CGraphCursor& c = Cursor(n);
        if (!c.IsVisible()) continue;
        const double d = std::fabs(xAxis->coordToPixel(c.GetX()) - pEvent->position().x());
        if (d < dBest) dBest = d, m_nDraggedCursor = n;
      }
      if (m_nDraggedCursor) {
        MoveDraggedCursor(pEvent->position());
        return;
      }
      // Away from the cursors a plain drag moves the view; a click alone changes nothing.
      m_bPlainPan = true;
      m_aPressRanges = {xAxis->range(), yAxis->range(), yAxis2->range()};
      setInteraction(QCP::iRangeDrag, true);
    }
    m_bUserView = true;
  }
  QCustomPlot::mousePressEvent(pEvent);
}

void CGraphControl::MoveDraggedCursor(const QPointF& pos) {
  CGraphCursor& c = Cursor(m_nDraggedCursor);
  const double x = xAxis->pixelToCoord(pos.x());
  if (c.m_nPlot >= 0 && m_pPoints && !m_pPoints->IsEmpty())
    SetCursorPoint(m_nDraggedCursor, c.m_nPlot, m_pPoints->FindPoint(c.m_nPlot, x));
  else
    c.SetPosition(x, c.GetValueAxis()->pixelToCoord(pos.y()));
  PlaceLaneLines();
  m_pCursorLayer->replot();
  emit cursorDragged(m_nDraggedCursor, c.GetX(), c.GetY());
}

void CGraphControl::mouseMoveEvent(QMouseEvent* pEvent) {
  if (m_nDraggedCursor && (pEvent->buttons() & Qt::LeftButton)) {
    MoveDraggedCursor(pEvent->position());
    return;
  }
  QCustomPlot::mouseMoveEvent(pEvent);
}

void CGraphControl::mouseReleaseEvent(QMouseEvent* pEvent) {
  if (m_nDraggedCursor) {
    m_nDraggedCursor = 0;
    return;
  }
  QCustomPlot::mouseReleaseEvent(pEvent);
  if (m_bPlainPan) {
    m_bPlainPan = false;
    setInteraction(QCP::iRangeDrag, m_eTrackMode == TRACK_PAN);
    const std::array<QCPRange, 3> aNow{xAxis->range(), yAxis->range(), yAxis2->range()};
    if (aNow == m_aPressRanges) m_bUserView = false;
  }
  if (m_bUserView) {
    m_bUserView = false;
    emit viewChangedByUser();
  }
}

void CGraphControl::mouseDoubleClickEvent(QMouseEvent* pEvent) {
  QCustomPlot::mouseDoubleClickEvent(pEvent);
  emit graphDoubleClicked();
}

void CGraphControl::keyPressEvent(QKeyEvent* pEvent) {
  emit keyDown(pEvent->key(), pEvent->modifiers());
  pEvent->accept();
}

void CGraphControl::wheelEvent(QWheelEvent* pEvent) {
  const QPointF pos = pEvent->position();
  const QPoint delta = pEvent->angleDelta();
  // Alt turns the wheel into a horizontal one on some systems.
  const int nDelta = delta.y() != 0 ? delta.y() : delta.x();
  QCPAxisRect* pRect = PlotRectAt(pos);
  if (nDelta == 0 || !pRect) {
    pEvent->ignore();
    return;
  }
  pEvent->accept();
  if (pEvent->modifiers() & Qt::ControlModifier) {
    // The value axes of the plot (or lane) under the pointer, each around its own value there.
    for (QCPAxis* p : pRect->axes(QCPAxis::atLeft | QCPAxis::atRight)) {
      if (!p->visible()) continue;
      const double dAt = p->pixelToCoord(pos.y());
      const sAxisRange r = WheelZoomRange({p->range().lower, p->range().upper}, dAt, nDelta, {}, MinValueSpan(dAt));
      p->setRange(r.dMin, r.dMax);
    }
  } else {
    sAxisRange limits;
    if (m_pPoints && !m_pPoints->GetXRange(limits.dMin, limits.dMax)) limits = {};
    const double dAt = xAxis->pixelToCoord(pos.x());
    const sAxisRange r = WheelZoomRange({xAxis->range().lower, xAxis->range().upper}, dAt, nDelta, limits,
                                        m_bTimeAxis ? MIN_TIME_SPAN : MinValueSpan(dAt));
    xAxis->setRange(r.dMin, r.dMax);
  }
  replot(rpQueuedReplot);
  emit viewChangedByUser();
}

QCPAxisRect* CGraphControl::PlotRectAt(const QPointF& pos) const {
  // The plot area itself, without the axes around it.
  for (QCPAxisRect* p : axisRects())
    if (p->rect().contains(pos.toPoint())) return p;
  return nullptr;
}

void CGraphControl::SetStacked(bool bStacked) {
  if (bStacked == m_bStacked) return;
  RemoveLanes();
  m_bStacked = bStacked;
  LanesChanged();
  ApplyLanes();
}

int CGraphControl::GetLanePlot(int nLane) const { return m_aLanes.at(static_cast<size_t>(nLane)).nPlot; }
QCPAxisRect* CGraphControl::GetLaneRect(int nLane) const { return m_aLanes.at(static_cast<size_t>(nLane)).pRect; }
QCPAxis* CGraphControl::GetLaneValueAxis(int nLane) const { return m_aLanes.at(static_cast<size_t>(nLane)).pY; }
QCPAxis* CGraphControl::GetLaneTimeAxis(int nLane) const { return m_aLanes.at(static_cast<size_t>(nLane)).pX; }

void CGraphControl::ApplyLanes() {
  if (!m_bLanesDirty) {
    PlaceLaneLines();
    return;
  }
  m_bLanesDirty = false;
  RemoveLanes();
  if (m_bStacked) BuildLanes();
}

void CGraphControl::BuildLanes() {
  std::vector<sLaneChannel> aChannels;
  for (int i = 0; i < GetPlotCount(); ++i) {
    const sPlot& p = m_aPlots[static_cast<size_t>(i)];
    sLaneChannel c;
    c.nChannel = i;
    c.bDisplayed = p.bShown && p.eOn != AXIS_HIDDEN;
    c.bHasValues = m_pPoints && i < m_pPoints->GetChannelCount() && m_pPoints->GetValueRange(i, c.dMin, c.dMax);
    aChannels.push_back(c);
  }
  const std::vector<sStackedLane> aPlan = StackedLanes(aChannels);
  if (aPlan.empty()) return;
  // The main plot rect is the top lane: the time axis, the zoom, the cursors
  // and their captions stay on it. Its Y1 and Y2 give way to a lane axis.
  QCPAxisRect* pMain = axisRect();
  m_pMarginGroup = new QCPMarginGroup(this);
  pMain->setMarginGroup(QCP::msLeft | QCP::msRight, m_pMarginGroup);
  for (QCPItemStraightLine* p : m_aAlarmLines) p->setVisible(false);
  for (auto& c : m_pCursors) c->SetMarkerShown(false);
  m_strXCaption = xAxis->label();
  const bool bYShown = yAxis->visible(), bY2Shown = yAxis2->visible();
  yAxis->setVisible(false);
  yAxis2->setVisible(false);
  // Remembered in the axis itself so that RemoveLanes can show them again.
  yAxis->setProperty("zk7ShownBeforeLanes", bYShown);
  yAxis2->setProperty("zk7ShownBeforeLanes", bY2Shown);
  for (size_t i = 0; i < aPlan.size(); ++i) {
    sLane lane;
    lane.nPlot = aPlan[i].nChannel;
    if (i == 0) {
      lane.pRect = pMain;
      lane.pX = xAxis;
      lane.pY = pMain->addAxis(QCPAxis::atLeft);
    } else {
      lane.pRect = new QCPAxisRect(this, true);
      // Under the curves, as the main rect's is: a rect paints its background on its own layer.
      lane.pRect->setLayer(pMain->layer());
      plotLayout()->addElement(static_cast<int>(i), 0, lane.pRect);
      lane.pRect->setMarginGroup(QCP::msLeft | QCP::msRight, m_pMarginGroup);
      lane.pRect->setBackground(pMain->backgroundBrush());
      lane.pRect->axis(QCPAxis::atTop)->setVisible(false);
      lane.pRect->axis(QCPAxis::atRight)->setVisible(false);
      lane.pX = lane.pRect->axis(QCPAxis::atBottom);
      lane.pY = lane.pRect->axis(QCPAxis::atLeft);
      lane.pX->setTicker(xAxis->ticker());
      lane.pX->setRange(xAxis->range());
      lane.pRect->setRangeDragAxes({lane.pX}, {lane.pY});
      lane.pRect->setRangeZoomAxes({lane.pX}, {lane.pY});
      // One time range for all lanes, whichever lane is dragged.
      connect(xAxis, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), lane.pX,
              qOverload<const QCPRange&>(&QCPAxis::setRange));
      connect(lane.pX, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), xAxis,
              qOverload<const QCPRange&>(&QCPAxis::setRange));
    }
    for (QCPAxis* p : {lane.pX, lane.pY}) {
      p->grid()->setPen(xAxis->grid()->pen());
      p->grid()->setVisible(m_bGrid);
      p->setSubTicks(false);
    }
    // Only the bottom lane writes the times under it.
    lane.pX->setTickLabels(i + 1 == aPlan.size());
    lane.pX->setLabel(i + 1 == aPlan.size() ? m_strXCaption : QString());
    lane.pY->setLabel(GetPlotName(lane.nPlot));
    lane.pY->setLabelColor(GetPlotColour(lane.nPlot));
    lane.pY->setRange(aPlan[i].dMin, aPlan[i].dMax);
    sPlot& p = m_aPlots[static_cast<size_t>(lane.nPlot)];
    p.pCurve->setKeyAxis(lane.pX);
    p.pCurve->setValueAxis(lane.pY);
    p.nFedColumns = -1;
    m_aLanes.push_back(lane);
  }
  pMain->setRangeDragAxes({xAxis}, {m_aLanes.front().pY});
  pMain->setRangeZoomAxes({xAxis}, {m_aLanes.front().pY});
  PlaceLaneLines();
}

void CGraphControl::RemoveLanes() {
  if (m_aLanes.empty()) return;
  QCPAxisRect* pMain = m_aLanes.front().pRect;
  // The curves first, so that none is left on an axis about to go.
  for (sPlot& p : m_aPlots) {
    p.pCurve->setKeyAxis(xAxis);
    p.pCurve->setValueAxis(p.eOn == AXIS_Y2 ? yAxis2 : yAxis);
    p.nFedColumns = -1;
  }
  for (sLane& lane : m_aLanes) {
    for (QCPItemStraightLine* pLine : lane.aLines) removeItem(pLine);
    lane.aLines.clear();
  }
  for (size_t i = 1; i < m_aLanes.size(); ++i) plotLayout()->remove(m_aLanes[i].pRect);
  plotLayout()->simplify();
  pMain->removeAxis(m_aLanes.front().pY);
  m_aLanes.clear();
  pMain->setMarginGroup(QCP::msLeft | QCP::msRight, nullptr);
  delete m_pMarginGroup;
  m_pMarginGroup = nullptr;
  pMain->setRangeDragAxes({xAxis}, {yAxis, yAxis2});
  pMain->setRangeZoomAxes({xAxis}, {yAxis, yAxis2});
  xAxis->setTickLabels(true);
  xAxis->setLabel(m_strXCaption);
  yAxis->setVisible(yAxis->property("zk7ShownBeforeLanes").toBool());
  yAxis2->setVisible(yAxis2->property("zk7ShownBeforeLanes").toBool());
  for (size_t k = 0; k < m_aAlarmLines.size(); ++k) m_aAlarmLines[k]->setVisible(m_aAlarmShown[k]);
  for (auto& c : m_pCursors) c->SetMarkerShown(true);
}

void CGraphControl::PlaceLaneLines() {
  // The top lane shows the cursors and marks themselves; the others copies of their lines.
  std::vector<const CGraphCursor*> aShown{m_pCursors[0].get(), m_pCursors[1].get()};
  for (const auto& p : m_aMarks) aShown.push_back(p.get());
  for (size_t i = 1; i < m_aLanes.size(); ++i) {
    sLane& lane = m_aLanes[i];
    while (lane.aLines.size() < aShown.size()) {
      auto* p = new QCPItemStraightLine(this);
      p->setLayer(m_pCursorLayer);
      p->setSelectable(false);
      p->setClipAxisRect(lane.pRect);
      p->point1->setAxes(lane.pX, lane.pY);
      p->point2->setAxes(lane.pX, lane.pY);
      lane.aLines.push_back(p);
    }
    while (lane.aLines.size() > aShown.size()) {
      removeItem(lane.aLines.back());
      lane.aLines.pop_back();
    }
    for (size_t k = 0; k < aShown.size(); ++k) {
      QCPItemStraightLine* p = lane.aLines[k];
      p->setPen(QPen(aShown[k]->GetColour(), 1.5));
      p->point1->setCoords(aShown[k]->GetX(), 0);
      p->point2->setCoords(aShown[k]->GetX(), 1);
      p->setVisible(aShown[k]->IsVisible());
    }
  }
}

bool CGraphControl::FindNearestPoint(const QPointF& pos, int nPixels, int& nPlot, int& nPoint) const {
  if (!m_pPoints || m_pPoints->IsEmpty() || !PlotRectAt(pos)) return false;
  const int nCount = m_pPoints->GetPointCount();
  const bool bXY = m_pPoints->GetXChannel() >= 0;
  double dBest = static_cast<double>(nPixels) * nPixels;
  bool bFound = false;
  for (int i = 0; i < GetPlotCount() && i < m_pPoints->GetChannelCount(); ++i) {
    const sPlot& p = m_aPlots[static_cast<size_t>(i)];
    if (!p.pCurve->visible()) continue;
    const QCPAxis* pY = p.pCurve->valueAxis();
    int nFrom = 0, nTo = nCount - 1;
    if (!bXY) {
      // Time runs along the points: only those within reach of the pointer's column.
      nFrom = std::max(0, m_pPoints->FindPoint(i, xAxis->pixelToCoord(pos.x() - nPixels)) - 1);
      nTo = std::min(nCount - 1, m_pPoints->FindPoint(i, xAxis->pixelToCoord(pos.x() + nPixels)) + 1);
    }
    const int nStep = std::max(1, (nTo - nFrom + 1) / TOOLTIP_SCAN_LIMIT);
    for (int k = nFrom; k <= nTo; k += nStep) {
      const double y = m_pPoints->GetY(i, k);
      if (!std::isfinite(y)) continue;
      const double dx = xAxis->coordToPixel(m_pPoints->GetX(i, k)) - pos.x();
      const double dy = pY->coordToPixel(y) - pos.y();
      const double d = dx * dx + dy * dy;
      if (d <= dBest) {
        dBest = d;
        nPlot = i;
        nPoint = k;
        bFound = true;
      }
    }
  }
  return bFound;
}

QString CGraphControl::ToolTipTextAt(const QPointF& pos) const {
  int nPlot = -1, nPoint = -1;
  if (!m_fnToolTip || !FindNearestPoint(pos, TOOLTIP_PIXELS, nPlot, nPoint)) return {};
  return m_fnToolTip(nPlot, nPoint);
}

bool CGraphControl::event(QEvent* pEvent) {
  if (pEvent->type() != QEvent::ToolTip) return QCustomPlot::event(pEvent);
  const auto* pHelp = static_cast<QHelpEvent*>(pEvent);
  QString strText;
  try {
    strText = ToolTipTextAt(pHelp->pos());
  } catch (const std::exception&) {
    // No tooltip rather than a failure out of the event loop.
  }
  if (strText.isEmpty())
    QToolTip::hideText();
  else
    QToolTip::showText(pHelp->globalPos(), strText, this);
  return true;
}

} // namespace zk7
