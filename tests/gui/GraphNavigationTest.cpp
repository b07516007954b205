// Navigating the history graph with the mouse and the keys: wheel zoom around
// the pointer, plain-drag panning, the zoom history, point tooltips, and the
// manual's page on it. The ranges and the history's steps are proven in the
// core; here the mouse, the keys and the commands reach them.

#include <cmath>

#include "HistWindowTestSupport.h"
#include "app/HelpWindow.h"
#include "history/GraphCursors.h"
#include "history/GraphZoom.h"
#include "history/ScalesToolState.h"

using namespace zk7;

namespace {

void Wheel(QWidget* w, QPoint at, int nDelta, Qt::KeyboardModifiers mods) {
  QWheelEvent e(QPointF(at), w->mapToGlobal(QPointF(at)), QPoint(), QPoint(0, nDelta), Qt::NoButton, mods, Qt::NoScrollPhase, false);
  QApplication::sendEvent(w, &e);
}

sAxisRange Range(const QCPAxis* p) { return {p->range().lower, p->range().upper}; }

bool Near(const sAxisRange& a, const sAxisRange& b, double dTolerance) {
  return std::fabs(a.dMin - b.dMin) <= dTolerance && std::fabs(a.dMax - b.dMax) <= dTolerance;
}

} // namespace

class GraphNavigationTest : public QObject {
  Q_OBJECT
  CTempDir m_dir{"zk7-navigation"};
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
    QVERIFY(Near(x1, WheelZoomRange(x0, dAt, 2 * WHEEL_NOTCH, data, MIN_TIME_SPAN), 1e-12));
    QVERIFY(std::fabs(c.xAxis->coordToPixel(dAt) - at.x()) < 1e-6);
    QCOMPARE(Range(c.yAxis), y0);
    QVERIFY(w.pGraph->IsZoomed());
    // Ctrl+wheel: the values only, and the scales bar shows them.
    const double dValue = c.yAxis->pixelToCoord(at.y());
    Wheel(&c, at, WHEEL_NOTCH, Qt::ControlModifier);
    QCOMPARE(Range(c.xAxis), x1);
    QVERIFY(Near(Range(c.yAxis), WheelZoomRange(y0, dValue, WHEEL_NOTCH, {}, MinValueSpan(dValue)), 1e-12));
    QCOMPARE(QString::fromLatin1(w.State().m_scales.m_strY1Max), QString::fromLatin1(FormatScaleLimit(c.yAxis->range().upper)));
    // Out far: never beyond the data; outside the plot area the wheel does nothing.
    Wheel(&c, at, -50 * WHEEL_NOTCH, Qt::NoModifier);
    QVERIFY(Near(Range(c.xAxis), data, 1e-12) || Near(Range(c.xAxis), x0, 1e-12));
    const sAxisRange x2 = Range(c.xAxis);
    Wheel(&c, QPoint(r.left() - 5, r.center().y()), WHEEL_NOTCH, Qt::NoModifier);
    QCOMPARE(Range(c.xAxis), x2);
  }

  void plainDragPansOrMovesTheCursorUnderIt() {
    sHistWindow w(m_strFile);
    CGraphControl& c = w.Control();
    const QRect r = c.axisRect()->rect();
    const sAxisRange x0 = Range(c.xAxis), y0 = Range(c.yAxis);
    const size_t nViews = w.pGraph->GetZoomHistory().GetCount();
    // A click alone is no move and no step of the history.
    QTest::mouseClick(&c, Qt::LeftButton, Qt::NoModifier, r.center());
    QCOMPARE(Range(c.xAxis), x0);
    QCOMPARE(w.pGraph->GetZoomHistory().GetCount(), nViews);
    Drag(&c, r.center(), r.center() + QPoint(-120, 40), Qt::NoModifier);
    const sAxisRange x1 = Range(c.xAxis);
    QVERIFY(std::fabs((x1.dMin - x0.dMin) / (120 * (x0.dMax - x0.dMin) / r.width()) - 1) < 0.02);
    QVERIFY(std::fabs((x1.dMax - x1.dMin) - (x0.dMax - x0.dMin)) < 1e-9);
    QVERIFY(std::fabs((Range(c.yAxis).dMin - y0.dMin) / (40 * (y0.dMax - y0.dMin) / r.height()) - 1) < 0.05);
    QVERIFY(!w.State().m_scales.m_bFixedTo);  // unlike Shift, which fixes the period
    QCOMPARE(w.pGraph->GetZoomHistory().GetCount(), nViews + 1);
    // A shown cursor under the press is dragged, the view stays, and its readout follows.
    w.ShowCursor(1);
    const int x = qRound(c.xAxis->coordToPixel(c.Cursor(1).GetX()));
    Drag(&c, QPoint(x + 1, r.center().y()), r.center(), Qt::NoModifier);
    QCOMPARE(Range(c.xAxis), x1);
    QVERIFY(std::fabs(c.xAxis->coordToPixel(c.Cursor(1).GetX()) - r.center().x()) < 1.0);
    QCOMPARE(QString::fromLatin1(w.State().m_aCursors[0].m_strX), QString::fromLatin1(FormatCursorX(c.Cursor(1).GetX(), false, true, 3)));
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
      if (i % 2)
        QVERIFY(f.OnCommand(ID_ZOOM_BACK));
      else
        QTest::keyClick(&c, Qt::Key_Left, Qt::AltModifier);
      QVERIFY2(w.pGraph->GetView() == aViews[i], qPrintable(QString::number(i)));
    }
    QVERIFY(!w.Enabled(ID_ZOOM_BACK) && w.Enabled(ID_ZOOM_FORWARD));
    QTest::keyClick(&c, Qt::Key_Right, Qt::AltModifier);
    QVERIFY(w.pGraph->GetView() == aViews[1]);
    QCOMPARE(w.pGraph->GetActiveCursor(), 0);  // Alt leaves the cursor keys alone
    // Paging to the next measurements is a step with its own period; back brings its points again.
    f.OnCommand(ID_HIST_GLOBAL_VIEW);
    const sGraphView whole = w.pGraph->GetView();
    w.State().m_dHistoryStart = whole.dStart;
    w.State().m_dHistoryEnd = whole.dStart + (whole.dEnd - whole.dStart) / 3;
    f.OnCommand(ID_REFRESH);
    QApplication::processEvents();
    const sGraphView third = w.pGraph->GetView();
    const int nFirstPoints = w.pGraph->GetPoints().GetPointCount();
    QVERIFY(f.OnCommand(ID_HIST_NEXT));
    QVERIFY(w.State().m_dHistoryStart > third.dStart);
    QVERIFY(f.OnCommand(ID_ZOOM_BACK));
    QVERIFY(w.pGraph->GetView() == third);
    QCOMPARE(w.pGraph->GetPoints().GetPointCount(), nFirstPoints);
  }

  void tooltipOfTheNearestPointAndNoneAway() {
    sHistWindow w(m_strFile);
    CGraphControl& c = w.Control();
    const CGraphPoints& pts = w.pGraph->GetPoints();
    c.SetAxisRange(CGraphControl::AXIS_X, pts.GetX(0, 0), pts.GetX(0, 20));  // points that stand apart
    c.replot();
    auto pixel = [&](int nPlot, int k) { return QPoint(qRound(c.xAxis->coordToPixel(pts.GetX(nPlot, k))), qRound(c.yAxis->coordToPixel(pts.GetY(nPlot, k)))); };
    auto time = [&](int k, int nChannel) { return QString::fromLatin1(FormatDateTime(w.Doc().GetRecordTime(k, nChannel), false, true, 3)); };
    const QPoint at = pixel(0, 5) + QPoint(2, -2);
    QCOMPARE(c.ToolTipTextAt(at), "T1\n" + time(5, 0) + "\n22.5 \u00B0C");
    // The channel with a millisecond offset shows its own time, its value with its own resolution.
    QCOMPARE(c.ToolTipTextAt(pixel(1, 8)), "N\n" + time(8, 1) + "\n8");
    QVERIFY(time(8, 1).endsWith(".012"));
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

  void manualShowsNavigationWithItsScreenshot() {
    CHelpWindow help;
    help.ShowContents();
    auto* pBrowser = help.findChild<QTextBrowser*>();
    QVERIFY(pBrowser);
    for (const char* psz : {"Ctrl+wheel", "Ctrl+drag", "Shift+drag", "Alt+Left", "Zoom Forward", "Tooltips"})
      QVERIFY2(pBrowser->document()->toHtml().contains(QLatin1String(psz)), psz);
    // The screenshot is bundled beside the page and small.
    const QImage image = pBrowser->document()->resource(QTextDocument::ImageResource, QUrl("history-window.png")).value<QImage>();
    QVERIFY(!image.isNull() && image.width() >= 600);
    QVERIFY(QFile(":/share/manual/history-window.png").size() < 200 * 1024);
  }
};

QTEST_MAIN(GraphNavigationTest)
#include "GraphNavigationTest.moc"
