// Navigating the history graph with the mouse and the keys: wheel zoom around
// the pointer, plain-drag panning, the zoom history, point tooltips, and the
// stacked view with a lane per channel. The ranges, the history's steps and
// the lanes are proven in the core; here the mouse, the keys and the commands
// reach them.

#include <cmath>

#include "HistWindowTestSupport.h"
#include "history/GraphCursors.h"
#include "history/GraphZoom.h"
#include "history/ScalesToolState.h"
#include "history/GraphImage.h"

using namespace zk7;

namespace {

sAxisRange Range(const QCPAxis* p) { return {p->range().lower, p->range().upper}; }

bool Near(const sAxisRange& a, const sAxisRange& b, double dTolerance) {
  return std::fabs(a.dMin - b.dMin) <= dTolerance && std::fabs(a.dMax - b.dMax) <= dTolerance;
}

// How many pixels of colour lie in the rectangle of a grab of the control (x widened by nWiden).
int PixelsOf(CGraphControl& c, const QRect& r, const QColor& colour, int nWiden = 0) {
  const QImage shot = c.grab().toImage();
  const qreal d = shot.devicePixelRatio();
  int n = 0;
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left() - nWiden; x <= r.right() + nWiden; ++x) n += shot.pixelColor(QPoint(qRound(x * d), qRound(y * d))) == colour;
  return n;
}

} // namespace

class GraphNavigationTest : public QObject {
  Q_OBJECT
  CTempDir m_dir{"zk7-graph-view"};
  std::string m_strFile = m_dir.Path() + "/ten-minutes.zk";

private slots:
  void initTestCase() {
    SetRegionalSettings(CRegionalSettings::Plain());
    WriteTestResults(m_strFile, 600);
  }

  void wheelZoomsAroundThePointerAndCtrlWheelTheValues() {
    sHistWindow w(m_strFile);
    CGraphControl& c = w.Control();
    const QRect r = c.axisRect()->rect();
    const QPoint at(r.left() + r.width() / 3, r.top() + r.height() / 4);
    sAxisRange data;
    QVERIFY(w.pGraph->GetPoints().GetXRange(data.dMin, data.dMax));
    // Plain wheel: time only, the time under the pointer stays there.
    const sAxisRange x0 = Range(c.xAxis), y0 = Range(c.yAxis);
    const double dAt = c.xAxis->pixelToCoord(at.x());
    Wheel(&c, at, 2 * WHEEL_NOTCH, Qt::NoModifier);
    const sAxisRange x1 = Range(c.xAxis);
    QVERIFY(Near(x1, WheelZoomRange(x0, dAt, 2 * WHEEL_NOTCH, data, MIN_TIME_SPAN), 1e-12) &&
            std::fabs(c.xAxis->coordToPixel(dAt) - at.x()) < 1e-6 && Range(c.yAxis) == y0 && w.pGraph->IsZoomed());
    // Ctrl+wheel: the values only, and the scales bar shows them.
    const double dValue = c.yAxis->pixelToCoord(at.y());
    Wheel(&c, at, WHEEL_NOTCH, Qt::ControlModifier);
    QVERIFY(Range(c.xAxis) == x1 && Near(Range(c.yAxis), WheelZoomRange(y0, dValue, WHEEL_NOTCH, {}, MinValueSpan(dValue)), 1e-12));
    QCOMPARE(QString::fromLatin1(w.State().m_scales.m_strY1Max), QString::fromLatin1(FormatScaleLimit(c.yAxis->range().upper)));
    // Outside the plot area the wheel does nothing.
    Wheel(&c, QPoint(r.left() - 5, r.center().y()), WHEEL_NOTCH, Qt::NoModifier);
    QCOMPARE(Range(c.xAxis), x1);
  }

  void plainDragPansAndAClickAloneDoesNot() {
    sHistWindow w(m_strFile);
    CGraphControl& c = w.Control();
    const QRect r = c.axisRect()->rect();
    const sAxisRange x0 = Range(c.xAxis), y0 = Range(c.yAxis);
    const size_t nViews = w.pGraph->GetZoomHistory().GetCount();
    // A click alone is no move and no step of the history.
    QTest::mouseClick(&c, Qt::LeftButton, Qt::NoModifier, r.center());
    QVERIFY(Range(c.xAxis) == x0 && w.pGraph->GetZoomHistory().GetCount() == nViews);
    Drag(&c, r.center(), r.center() + QPoint(-120, 40), Qt::NoModifier);
    const sAxisRange x1 = Range(c.xAxis);
    QVERIFY(std::fabs((x1.dMin - x0.dMin) / (120 * (x0.dMax - x0.dMin) / r.width()) - 1) < 0.02 &&
            std::fabs((x1.dMax - x1.dMin) - (x0.dMax - x0.dMin)) < 1e-9 &&
            std::fabs((Range(c.yAxis).dMin - y0.dMin) / (40 * (y0.dMax - y0.dMin) / r.height()) - 1) < 0.05);
    // Unlike Shift, which fixes the period.
    QVERIFY(!w.State().m_scales.m_bFixedTo && w.pGraph->GetZoomHistory().GetCount() == nViews + 1);
  }

  void zoomBackAndForwardRestoreTheExactViews() {
    sHistWindow w(m_strFile);
    CHistFrame& f = *w.pFrame;
    CGraphControl& c = w.Control();
    const QRect r = c.axisRect()->rect();
    std::vector<sGraphView> aViews{w.pGraph->GetView()};
    QVERIFY(!w.Enabled(ID_ZOOM_BACK) && !w.Enabled(ID_ZOOM_FORWARD));
    Wheel(&c, r.center() - QPoint(r.width() / 5, 0), 3 * WHEEL_NOTCH, Qt::NoModifier);
    aViews.push_back(w.pGraph->GetView());
    Drag(&c, QPoint(r.left() + r.width() / 4, r.top() + 10), QPoint(r.center().x(), r.bottom() - 10), Qt::ControlModifier);
    aViews.push_back(w.pGraph->GetView());
    QTest::keyClick(&c, Qt::Key_Escape);  // the global view is a step too
    aViews.push_back(w.pGraph->GetView());
    QVERIFY(!w.pGraph->IsZoomed() && !(aViews[1] == aViews[0]) && !(aViews[2] == aViews[1]));
    // Back through every view, by the command and by Alt+Left in the graph; then forward.
    for (size_t i = aViews.size() - 1; i-- > 0;) {
      QVERIFY(w.Enabled(ID_ZOOM_BACK));
      i % 2 ? void(f.OnCommand(ID_ZOOM_BACK)) : QTest::keyClick(&c, Qt::Key_Left, Qt::AltModifier);
      QVERIFY2(w.pGraph->GetView() == aViews[i], qPrintable(QString::number(i)));
    }
    QVERIFY(!w.Enabled(ID_ZOOM_BACK) && w.Enabled(ID_ZOOM_FORWARD));
    QTest::keyClick(&c, Qt::Key_Right, Qt::AltModifier);
    QVERIFY(w.pGraph->GetView() == aViews[1] && w.pGraph->GetActiveCursor() == 0);  // Alt leaves the cursor keys alone
    // Paging to the next measurements is a step with its own period; back brings its points again.
    f.OnCommand(ID_HIST_GLOBAL_VIEW);
    const sGraphView whole = w.pGraph->GetView();
    std::tie(w.State().m_dHistoryStart, w.State().m_dHistoryEnd) = std::pair(whole.dStart, whole.dStart + (whole.dEnd - whole.dStart) / 3);
    f.OnCommand(ID_REFRESH);
    QApplication::processEvents();
    const sGraphView third = w.pGraph->GetView();
    const int nFirstPoints = w.pGraph->GetPoints().GetPointCount();
    QVERIFY(f.OnCommand(ID_HIST_NEXT) && w.State().m_dHistoryStart > third.dStart);
    QVERIFY(f.OnCommand(ID_ZOOM_BACK) && w.pGraph->GetView() == third && w.pGraph->GetPoints().GetPointCount() == nFirstPoints);
  }

  void tooltipOfTheNearestPointAndNoneAway() {
    sHistWindow w(m_strFile);
    CGraphControl& c = w.Control();
    const CGraphPoints& pts = w.pGraph->GetPoints();
    c.SetAxisRange(CGraphControl::AXIS_X, pts.GetX(0, 0), pts.GetX(0, 20));  // points that stand apart
    c.replot();
    auto pixel = [&](int nPlot, int k) {
      return QPoint(qRound(c.xAxis->coordToPixel(pts.GetX(nPlot, k))), qRound(c.yAxis->coordToPixel(pts.GetY(nPlot, k))));
    };
    auto time = [&](int k, int n) { return QString::fromLatin1(FormatDateTime(w.Doc().GetRecordTime(k, n), false, true, 3)); };
    const QPoint at = pixel(0, 5) + QPoint(2, -2);
    QCOMPARE(c.ToolTipTextAt(at), "T1\n" + time(5, 0) + "\n22.5 \u00B0C");
    // The channel with a millisecond offset shows its own time, its value with its own resolution.
    QVERIFY(c.ToolTipTextAt(pixel(1, 8)) == "N\n" + time(8, 1) + "\n8" && time(8, 1).endsWith(".012"));
    // Through the window system's tooltip event.
    QHelpEvent help(QEvent::ToolTip, at, c.mapToGlobal(at));
    QApplication::sendEvent(&c, &help);
    QCOMPARE(QToolTip::text(), c.ToolTipTextAt(at));
    // Half-way between two curves, far from every point: nothing.
    const QPoint away(at.x(), qRound(c.yAxis->coordToPixel((pts.GetY(0, 5) + pts.GetY(1, 5)) / 2)));
    QCOMPARE(c.ToolTipTextAt(away), QString());
    QHelpEvent far(QEvent::ToolTip, away, c.mapToGlobal(away));
    QApplication::sendEvent(&c, &far);
    QTRY_VERIFY(!QToolTip::isVisible());
    c.ShowPlot(0, false);  // a hidden channel's curve is not on the screen
    QVERIFY(!c.ToolTipTextAt(at).startsWith("T1"));
  }

  // Stacked: a lane per channel, a cursor dragged on any lane and drawn across
  // all, the saved image; then classic again.
  void stackedGivesALanePerChannelAndBack() {
    sHistWindow w(m_strFile);
    CGraphControl& c = w.Control();
    sCommandState st;
    QVERIFY(w.pFrame->OnUpdateCommand(ID_STACKED_VIEW, st) && st.m_bEnabled && !st.m_bChecked);
    QVERIFY(w.pFrame->OnCommand(ID_STACKED_VIEW));
    c.replot();
    QVERIFY(w.pFrame->OnUpdateCommand(ID_STACKED_VIEW, st) && st.m_bChecked);
    QVERIFY(c.GetLaneCount() == 3 && c.axisRectCount() == 3);
    // Each curve in its lane, drawn there, the lanes one under the other and aligned on the time axis.
    int nPreviousBottom = -1;
    for (int k = 0; k < c.GetLaneCount(); ++k) {
      const int nPlot = c.GetLanePlot(k);
      QCPAxisRect* pRect = c.GetLaneRect(k);
      auto* pCurve = qobject_cast<QCPCurve*>(c.plottable(nPlot));
      QVERIFY(pCurve && pCurve->keyAxis()->axisRect() == pRect && pCurve->valueAxis() == c.GetLaneValueAxis(k));
      QVERIFY(c.GetLaneValueAxis(k)->label() == c.GetPlotName(nPlot) && c.GetLaneTimeAxis(k)->range() == c.xAxis->range());
      QVERIFY(pRect->height() > 20 && pRect->top() > nPreviousBottom);
      QVERIFY(pRect->left() == c.axisRect()->left() && pRect->width() == c.axisRect()->width());
      nPreviousBottom = pRect->bottom();
      const int nCurve = PixelsOf(c, pRect->rect(), c.GetPlotColour(nPlot));
      QVERIFY2(nCurve >= pRect->width() / 2, qPrintable(QString("lane %1: %2").arg(k).arg(nCurve)));
    }
    // A cursor dragged on the bottom lane, drawn across every lane.
    w.ShowCursor(1);
    c.replot();
    const QRect bottom = c.GetLaneRect(c.GetLaneCount() - 1)->rect();
    const QPoint to(bottom.left() + bottom.width() / 3, bottom.center().y());
    Drag(&c, QPoint(qRound(c.xAxis->coordToPixel(c.Cursor(1).GetX())) + 1, bottom.center().y()), to, Qt::NoModifier);
    QVERIFY(std::fabs(c.xAxis->coordToPixel(c.Cursor(1).GetX()) - to.x()) < 1.0);
    c.replot();
    const int nX = qRound(c.xAxis->coordToPixel(c.Cursor(1).GetX()));
    for (int k = 0; k < c.GetLaneCount(); ++k) {
      const QRect r = c.GetLaneRect(k)->rect();
      const int nLine = PixelsOf(c, QRect(nX, r.top(), 1, r.height()), c.Cursor(1).GetColour(), 1);
      QVERIFY2(nLine >= r.height() / 2, qPrintable(QString("lane %1: %2").arg(k).arg(nLine)));
    }
    // Moving the time of any lane moves every lane.
    const QCPRange r0 = c.xAxis->range(), r1(r0.lower + r0.size() / 4, r0.upper - r0.size() / 4);
    c.GetLaneTimeAxis(2)->setRange(r1);
    for (int k = 0; k < 3; ++k) QCOMPARE(c.GetLaneTimeAxis(k)->range(), r1);
    QCOMPARE(c.xAxis->range(), r1);
    // The saved image of either view has the size asked.
    const QString strBase = QString::fromStdString(m_dir.Path());
    QString strError;
    QVERIFY2(SaveGraphImage(*w.pFrame, strBase + "/stacked.png", 900, 640, strError), qPrintable(strError));
    // Classic again: one plot area, the curves on X and their Y axis, the time kept.
    QVERIFY(w.pFrame->OnCommand(ID_STACKED_VIEW));
    c.replot();
    QVERIFY(c.GetLaneCount() == 0 && c.axisRectCount() == 1 && c.yAxis->visible());
    for (int i = 0; i < c.GetPlotCount(); ++i) {
      auto* pCurve = qobject_cast<QCPCurve*>(c.plottable(i));
      QVERIFY(pCurve->keyAxis() == c.xAxis && pCurve->valueAxis() == c.Axis(c.GetPlotAxis(i)));
    }
    QCOMPARE(c.xAxis->range(), r1);
    QVERIFY2(SaveGraphImage(*w.pFrame, strBase + "/classic.png", 900, 640, strError), qPrintable(strError));
    const QImage stacked(strBase + "/stacked.png"), classic(strBase + "/classic.png");
    QVERIFY(stacked.size() == QSize(900, 640) && classic.size() == QSize(900, 640) && stacked != classic);
  }
};

QTEST_MAIN(GraphNavigationTest)
#include "GraphNavigationTest.moc"
