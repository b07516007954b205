// Navigating the history graph with the mouse and the keys: wheel zoom around
// the pointer, plain-drag panning, the zoom history, point tooltips, and the
// tool bar's icons.
#include <QtTest>

#include <QAction>
#include <QApplication>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QToolBar>
#include <QToolTip>

#include <cmath>
#include <filesystem>

#include "HistWindowTestSupport.h"
#include "SimProcess.h"
#include "app/MenuLayout.h"
#include "app/CommandIds.h"
#include "app/DocTemplate.h"
#include "app/HelpWindow.h"
#include "app/MainFrame.h"
#include "app/MdiChild.h"
#include "format/Formatting.h"
#include "format/RegionalSettings.h"
#include "history/GraphZoom.h"
#include "history/ScalesToolState.h"
#include "history/graph/GraphControl.h"
#include "history/graph/GraphCursor.h"
#include "settings/SettingsStore.h"

using namespace zk7;

namespace {

void Wheel(QWidget* w, QPoint at, int nDelta, Qt::KeyboardModifiers mods) {
  QWheelEvent e(QPointF(at), w->mapToGlobal(QPointF(at)), QPoint(), QPoint(0, nDelta), Qt::NoButton, mods,
                Qt::NoScrollPhase, false);
  QApplication::sendEvent(w, &e);
}

sAxisRange Range(const QCPAxis* p) { return {p->range().lower, p->range().upper}; }

bool Near(const sAxisRange& a, const sAxisRange& b, double dTolerance) {
  return std::fabs(a.dMin - b.dMin) <= dTolerance && std::fabs(a.dMax - b.dMax) <= dTolerance;
}

} // namespace

class GraphNavigationTest : public QObject {
  Q_OBJECT
  std::string m_strDir;
  std::string m_strFile;

private slots:
  void initTestCase() {
    SetRegionalSettings(CRegionalSettings::Plain());
    m_strDir = MakeTempDir("zk7-navigation");
    m_strFile = m_strDir + "/ten-minutes.zk";
    WriteTestResults(m_strFile, 600);
  }
  void cleanupTestCase() { std::filesystem::remove_all(m_strDir); }

  void wheelZoomsAroundThePointerAndCtrlWheelTheValues() {
    sHistWindow w(m_strFile);
    CGraphControl& c = *w.pGraph->GetControl();
    c.replot();
    const QRect r = c.axisRect()->rect();
    const QPoint at(r.left() + r.width() / 3, r.top() + r.height() / 4);
    sAxisRange data;
    QVERIFY(w.pGraph->GetPoints().GetXRange(data.dMin, data.dMax));

    // Plain wheel: time only, the core's range, the time under the pointer stays there.
    const sAxisRange x0 = Range(c.xAxis), y0 = Range(c.yAxis);
    const double dAt = c.xAxis->pixelToCoord(at.x());
    Wheel(&c, at, 2 * WHEEL_NOTCH, Qt::NoModifier);
    const sAxisRange x1 = Range(c.xAxis);
    QVERIFY(Near(x1, WheelZoomRange(x0, dAt, 2 * WHEEL_NOTCH, data, MIN_TIME_SPAN), 1e-12));
    QVERIFY(x1.dMax - x1.dMin < 0.7 * (x0.dMax - x0.dMin));
    QVERIFY(std::fabs(c.xAxis->coordToPixel(dAt) - at.x()) < 1e-6);
    QCOMPARE(Range(c.yAxis), y0);
    QVERIFY(w.pGraph->IsZoomed());

    // Ctrl+wheel: the values only, around the value under the pointer.
    const double dValue = c.yAxis->pixelToCoord(at.y());
    Wheel(&c, at, WHEEL_NOTCH, Qt::ControlModifier);
    QCOMPARE(Range(c.xAxis), x1);
    QVERIFY(Near(Range(c.yAxis), WheelZoomRange(y0, dValue, WHEEL_NOTCH, {}, MinValueSpan(dValue)), 1e-12));
    QVERIFY(std::fabs(c.yAxis->coordToPixel(dValue) - at.y()) < 1e-6);
    // The scales tool bar shows the new values.
    QCOMPARE(QString::fromLatin1(w.State().m_scales.m_strY1Max),
             QString::fromLatin1(FormatScaleLimit(c.yAxis->range().upper)));

    // Out again far: never beyond the data, whatever the wheel says.
    Wheel(&c, at, -50 * WHEEL_NOTCH, Qt::NoModifier);
    QVERIFY(Near(Range(c.xAxis), data, 1e-12) || Near(Range(c.xAxis), x0, 1e-12));
    // Outside the plot area the wheel does nothing.
    const sAxisRange x2 = Range(c.xAxis);
    Wheel(&c, QPoint(r.left() - 5, r.center().y()), WHEEL_NOTCH, Qt::NoModifier);
    QCOMPARE(Range(c.xAxis), x2);
  }

  void plainDragPansByTheDraggedDistance() {
    sHistWindow w(m_strFile);
    CGraphControl& c = *w.pGraph->GetControl();
    c.replot();
    const QRect r = c.axisRect()->rect();
    const sAxisRange x0 = Range(c.xAxis), y0 = Range(c.yAxis);
    const size_t nViews = w.pGraph->GetZoomHistory().GetCount();
    // A click alone is no move and no step of the history.
    QTest::mouseClick(&c, Qt::LeftButton, Qt::NoModifier, r.center());
    QCOMPARE(Range(c.xAxis), x0);
    QCOMPARE(w.pGraph->GetZoomHistory().GetCount(), nViews);

    const QPoint a = r.center(), b = a + QPoint(-120, 40);
    const double dXPerPixel = (x0.dMax - x0.dMin) / r.width();
    const double dYPerPixel = (y0.dMax - y0.dMin) / r.height();
    Drag(&c, a, b, Qt::NoModifier);
    const sAxisRange x1 = Range(c.xAxis), y1 = Range(c.yAxis);
    QVERIFY(std::fabs((x1.dMin - x0.dMin) / (120 * dXPerPixel) - 1) < 0.02);
    QVERIFY(std::fabs((x1.dMax - x1.dMin) - (x0.dMax - x0.dMin)) < 1e-9);
    QVERIFY(std::fabs((y1.dMin - y0.dMin) / (40 * dYPerPixel) - 1) < 0.05);
    QVERIFY(!w.State().m_scales.m_bFixedTo);  // unlike Shift, which fixes the period
    QCOMPARE(w.pGraph->GetZoomHistory().GetCount(), nViews + 1);

    // A shown cursor under the press is dragged, and the view stays.
    w.State().m_aCursors[0].m_bShown = true;
    w.pGraph->ShowCursor(1);
    const int x = qRound(c.xAxis->coordToPixel(c.Cursor(1).GetX()));
    Drag(&c, QPoint(x + 1, r.center().y()), QPoint(r.center().x(), r.center().y()), Qt::NoModifier);
    QCOMPARE(Range(c.xAxis), x1);
    QVERIFY(std::fabs(c.xAxis->coordToPixel(c.Cursor(1).GetX()) - r.center().x()) < 1.0);
  }

  void zoomBackAndForwardRestoreTheExactRanges() {
    sHistWindow w(m_strFile);
    CHistFrame& f = *w.pFrame;
    CGraphControl& c = *w.pGraph->GetControl();
    c.replot();
    const QRect r = c.axisRect()->rect();
    auto enabled = [&f](unsigned nId) {
      sCommandState st;
      f.OnUpdateCommand(nId, st);
      return st.m_bEnabled;
    };
    std::vector<sGraphView> aViews{w.pGraph->GetView()};
    QVERIFY(!enabled(ID_ZOOM_BACK) && !enabled(ID_ZOOM_FORWARD));
    Wheel(&c, r.center() - QPoint(r.width() / 5, 0), 3 * WHEEL_NOTCH, Qt::NoModifier);
    aViews.push_back(w.pGraph->GetView());
    Drag(&c, r.center(), r.center() + QPoint(90, 0), Qt::NoModifier);
    aViews.push_back(w.pGraph->GetView());
    Drag(&c, QPoint(r.left() + r.width() / 4, r.top() + 10), QPoint(r.center().x(), r.bottom() - 10),
         Qt::ControlModifier);
    aViews.push_back(w.pGraph->GetView());
    QTest::keyClick(&c, Qt::Key_Escape);  // the global view is a step too
    aViews.push_back(w.pGraph->GetView());
    QVERIFY(!w.pGraph->IsZoomed());
    for (size_t i = 1; i < aViews.size(); ++i) QVERIFY(!(aViews[i] == aViews[i - 1]));

    // Back through every view, by the command, by Alt+Left in the graph; then forward.
    for (size_t i = aViews.size() - 1; i-- > 0;) {
      QVERIFY(enabled(ID_ZOOM_BACK));
      if (i % 2)
        QVERIFY(f.OnCommand(ID_ZOOM_BACK));
      else
        QTest::keyClick(&c, Qt::Key_Left, Qt::AltModifier);
      QVERIFY2(w.pGraph->GetView() == aViews[i], qPrintable(QString::number(i)));
    }
    QVERIFY(!enabled(ID_ZOOM_BACK) && enabled(ID_ZOOM_FORWARD));
    QTest::keyClick(&c, Qt::Key_Right, Qt::AltModifier);
    QVERIFY(w.pGraph->GetView() == aViews[1]);
    QVERIFY(f.OnCommand(ID_ZOOM_FORWARD));
    QVERIFY(w.pGraph->GetView() == aViews[2]);
    // The cursor keys are not taken by Alt: no cursor moved, nothing else changed.
    QCOMPARE(w.pGraph->GetActiveCursor(), 0);

    // A new zoom here drops the views ahead.
    Wheel(&c, r.center(), WHEEL_NOTCH, Qt::NoModifier);
    QVERIFY(!enabled(ID_ZOOM_FORWARD));
    const sGraphView now = w.pGraph->GetView();
    QVERIFY(f.OnCommand(ID_ZOOM_BACK));
    QVERIFY(w.pGraph->GetView() == aViews[2]);
    QVERIFY(f.OnCommand(ID_ZOOM_FORWARD));
    QVERIFY(w.pGraph->GetView() == now);

    // Paging to the next measurements is a step with its own period; back
    // brings the earlier period with its points again.
    f.OnCommand(ID_HIST_GLOBAL_VIEW);
    const sGraphView whole = w.pGraph->GetView();
    const double dSpan = whole.dEnd - whole.dStart;
    w.State().m_dHistoryStart = whole.dStart;
    w.State().m_dHistoryEnd = whole.dStart + dSpan / 3;
    f.OnCommand(ID_REFRESH);
    QApplication::processEvents();
    const sGraphView third = w.pGraph->GetView();
    QVERIFY(third.dEnd < whole.dEnd);
    const int nFirstPoints = w.pGraph->GetPoints().GetPointCount();
    QVERIFY(f.OnCommand(ID_HIST_NEXT));
    QVERIFY(w.State().m_dHistoryStart > third.dStart);
    QVERIFY(f.OnCommand(ID_ZOOM_BACK));
    QVERIFY(w.pGraph->GetView() == third);
    QCOMPARE(w.pGraph->GetPoints().GetPointCount(), nFirstPoints);
  }

  void tooltipOfTheNearestPointAndNoneAway() {
    sHistWindow w(m_strFile);
    CGraphControl& c = *w.pGraph->GetControl();
    // Few records on the screen, so that the points stand apart.
    c.SetAxisRange(CGraphControl::AXIS_X, w.pGraph->GetPoints().GetX(0, 0), w.pGraph->GetPoints().GetX(0, 20));
    c.replot();
    const CGraphPoints& pts = w.pGraph->GetPoints();
    const int k = 5;  // T1 = 20 + 5 / 2
    const QPoint at(qRound(c.xAxis->coordToPixel(pts.GetX(0, k))) + 2,
                    qRound(c.yAxis->coordToPixel(pts.GetY(0, k))) - 2);
    const QString strTime = QString::fromLatin1(FormatDateTime(w.Doc().GetRecordTime(k, 0), false, true, 3));
    const QString strExpected = QStringLiteral("T1\n") + strTime + QStringLiteral("\n22.5 \u00B0C");
    QCOMPARE(c.ToolTipTextAt(at), strExpected);
    // The channel with a millisecond offset shows its own time, value with its own resolution.
    const QPoint atN(qRound(c.xAxis->coordToPixel(pts.GetX(1, 8))), qRound(c.yAxis->coordToPixel(pts.GetY(1, 8))));
    QCOMPARE(c.ToolTipTextAt(atN),
             QStringLiteral("N\n") + QString::fromLatin1(FormatDateTime(w.Doc().GetRecordTime(8, 1), false, true, 3)) +
                 QStringLiteral("\n8"));
    QVERIFY(strTime.endsWith(QStringLiteral(".000")));
    QVERIFY(FormatDateTime(w.Doc().GetRecordTime(8, 1), false, true, 3).ends_with(".012"));

    // Through the window system's tooltip event.
    QHelpEvent help(QEvent::ToolTip, at, c.mapToGlobal(at));
    QApplication::sendEvent(&c, &help);
    QCOMPARE(QToolTip::text(), strExpected);

    // Half-way between two curves, far from every point: nothing.
    const QPoint away(at.x(), qRound(c.yAxis->coordToPixel((pts.GetY(0, k) + pts.GetY(1, k)) / 2)));
    QCOMPARE(c.ToolTipTextAt(away), QString());
    QHelpEvent far(QEvent::ToolTip, away, c.mapToGlobal(away));
    QApplication::sendEvent(&c, &far);
    QTRY_VERIFY(!QToolTip::isVisible());
    // A hidden channel has no tooltip: its curve is not on the screen.
    c.ShowPlot(0, false);
    QVERIFY(!c.ToolTipTextAt(at).startsWith(QStringLiteral("T1")));
  }

  void toolBarIconsAndAltArrowsInTheMainWindow() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    auto pStore = CreateIniSettingsStore(dir.filePath(QStringLiteral("zk7.ini")).toStdString());
    CZK7DocTemplate results{IDR_RESULTS}, log{IDR_LOG};
    CMainFrame frame(*pStore, std::vector<const CZK7DocTemplate*>{&results, &log});
    frame.resize(1200, 800);
    frame.show();
    CMdiChild* pChild = frame.OpenDocumentFile(QString::fromStdString(m_strFile));
    QVERIFY(pChild);
    int nButtons = 0;
    for (QAction* pAction : frame.GetToolBar()->actions()) {
      if (pAction->isSeparator()) continue;
      ++nButtons;
      QVERIFY2(!pAction->icon().isNull() && !pAction->icon().pixmap(16, 16).isNull(), qPrintable(pAction->toolTip()));
    }
    int nLaidOut = 0;
    for (const sToolButton& button : GetToolBarLayout(IDR_RESULTS)) nLaidOut += button.m_nId != 0;
    QCOMPARE(nButtons, nLaidOut);
    QStringList aTips;
    for (QAction* pAction : frame.GetToolBar()->actions()) aTips << pAction->toolTip();
    QVERIFY(aTips.contains(QStringLiteral("Zoom Back")) && aTips.contains(QStringLiteral("Zoom Forward")));

    auto* pHist = qobject_cast<CHistFrame*>(pChild->GetContent());
    QVERIFY(pHist);
    CGraphControl& c = *pHist->GetHistGraph()->GetControl();
    QTRY_VERIFY(!pHist->GetHistGraph()->GetPoints().IsEmpty());  // the first display comes through the event loop
    c.replot();
    c.setFocus();
    const sGraphView v0 = pHist->GetHistGraph()->GetView();
    Wheel(&c, c.axisRect()->rect().center(), WHEEL_NOTCH, Qt::NoModifier);
    const sGraphView v1 = pHist->GetHistGraph()->GetView();
    QVERIFY(!(v1 == v0));
    frame.UpdateCommandStates();
    QVERIFY(frame.GetCommandState(ID_ZOOM_BACK).m_bEnabled);
    QTest::keyClick(&c, Qt::Key_Left, Qt::AltModifier);
    QVERIFY(pHist->GetHistGraph()->GetView() == v0);
    QTest::keyClick(&c, Qt::Key_Right, Qt::AltModifier);
    QVERIFY(pHist->GetHistGraph()->GetView() == v1);
  }

  void manualShowsNavigationWithItsScreenshot() {
    CHelpWindow help;
    help.ShowContents();
    auto* pBrowser = help.findChild<QTextBrowser*>();
    QVERIFY(pBrowser);
    const QString strHtml = pBrowser->document()->toHtml();
    for (const char* psz : {"Ctrl+wheel", "Ctrl+drag", "Shift+drag", "Alt+Left", "Zoom Forward", "Tooltips"})
      QVERIFY2(strHtml.contains(QLatin1String(psz)), psz);
    // The screenshot is bundled beside the page and small.
    const QUrl url(QStringLiteral("history-window.png"));
    const QImage image = pBrowser->document()->resource(QTextDocument::ImageResource, url).value<QImage>();
    QVERIFY(!image.isNull());
    QVERIFY(image.width() >= 600);
    QVERIFY(QFile(QStringLiteral(":/share/manual/history-window.png")).size() < 200 * 1024);
  }
};

QTEST_MAIN(GraphNavigationTest)
#include "GraphNavigationTest.moc"
