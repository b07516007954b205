// The stacked view of the history graph: one lane per displayed channel on a
// shared time axis (the lanes' ranges are proven in the core), the way back
// to the classic view, a cursor across the lanes, and the saved image.

#include "HistWindowTestSupport.h"
#include "history/GraphImage.h"

using namespace zk7;

namespace {

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

class StackedGraphTest : public QObject {
  Q_OBJECT
  CTempDir m_dir{"zk7-stacked"};
  std::string m_strFile = m_dir.Path() + "/ten-minutes.zk";

private slots:
  void initTestCase() {
    SetRegionalSettings(CRegionalSettings::Plain());
    WriteTestResults(m_strFile, 600);
  }

  void stackedGivesALanePerChannelAndBack() {
    sHistWindow w(m_strFile);
    CGraphControl& c = w.Control();
    QCOMPARE(c.axisRectCount(), 1);
    sCommandState st;
    QVERIFY(w.pFrame->OnUpdateCommand(ID_STACKED_VIEW, st) && st.m_bEnabled && !st.m_bChecked);
    QVERIFY(w.pFrame->OnCommand(ID_STACKED_VIEW));
    c.replot();
    QVERIFY(w.pFrame->OnUpdateCommand(ID_STACKED_VIEW, st) && st.m_bChecked);
    QCOMPARE(c.GetLaneCount(), 3);
    QCOMPARE(c.axisRectCount(), 3);
    // Each curve in its lane, drawn there, the lanes one under the other and aligned on the time axis.
    int nPreviousBottom = -1;
    for (int k = 0; k < c.GetLaneCount(); ++k) {
      const int nPlot = c.GetLanePlot(k);
      QCPAxisRect* pRect = c.GetLaneRect(k);
      auto* pCurve = qobject_cast<QCPCurve*>(c.plottable(nPlot));
      QVERIFY(pCurve && pCurve->keyAxis()->axisRect() == pRect && pCurve->valueAxis() == c.GetLaneValueAxis(k));
      QCOMPARE(c.GetLaneValueAxis(k)->label(), c.GetPlotName(nPlot));
      QCOMPARE(c.GetLaneTimeAxis(k)->range(), c.xAxis->range());
      double dMin, dMax;
      QVERIFY(w.pGraph->GetPoints().GetValueRange(nPlot, dMin, dMax));
      QVERIFY(c.GetLaneValueAxis(k)->range().lower < dMin && dMax < c.GetLaneValueAxis(k)->range().upper);
      QVERIFY(pRect->height() > 20 && pRect->top() > nPreviousBottom);
      QVERIFY(pRect->left() == c.axisRect()->left() && pRect->width() == c.axisRect()->width());
      nPreviousBottom = pRect->bottom();
      const int nCurve = PixelsOf(c, pRect->rect(), c.GetPlotColour(nPlot));
      QVERIFY2(nCurve >= pRect->width() / 2, qPrintable(QString("lane %1: %2").arg(k).arg(nCurve)));
    }
    // Moving the time of any lane moves every lane.
    const QCPRange r0 = c.xAxis->range(), r1(r0.lower + r0.size() / 4, r0.upper - r0.size() / 4);
    c.GetLaneTimeAxis(2)->setRange(r1);
    for (int k = 0; k < 3; ++k) QCOMPARE(c.GetLaneTimeAxis(k)->range(), r1);
    QCOMPARE(c.xAxis->range(), r1);
    // A channel hidden from the graph leaves its lane.
    c.ShowPlot(1, false);
    c.replot();
    QCOMPARE(c.GetLaneCount(), 2);
    QCOMPARE(c.axisRectCount(), 2);
    c.ShowPlot(1, true);
    // Classic again: one plot area, the curves on X and their Y axis, the time kept.
    QVERIFY(w.pFrame->OnCommand(ID_STACKED_VIEW));
    c.replot();
    QCOMPARE(c.GetLaneCount(), 0);
    QVERIFY(c.axisRectCount() == 1 && c.yAxis->visible());
    for (int i = 0; i < c.GetPlotCount(); ++i) {
      auto* pCurve = qobject_cast<QCPCurve*>(c.plottable(i));
      QVERIFY(pCurve->keyAxis() == c.xAxis && pCurve->valueAxis() == c.Axis(c.GetPlotAxis(i)));
    }
    QCOMPARE(c.xAxis->range(), r1);
  }

  void aCursorIsDraggedOnAnyLaneAndDrawnAcrossAll() {
    sHistWindow w(m_strFile);
    CGraphControl& c = w.Control();
    w.pGraph->SetStacked(true);
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
  }

  void savedImageOfTheStackedViewHasTheAskedSize() {
    sHistWindow w(m_strFile);
    const QString strBase = QString::fromStdString(m_dir.Path());
    QString strError;
    w.pGraph->SetStacked(true);
    QVERIFY2(SaveGraphImage(*w.pFrame, strBase + "/stacked.png", 900, 640, strError), qPrintable(strError));
    w.pGraph->SetStacked(false);
    QVERIFY2(SaveGraphImage(*w.pFrame, strBase + "/classic.png", 900, 640, strError), qPrintable(strError));
    const QImage stacked(strBase + "/stacked.png"), classic(strBase + "/classic.png");
    QCOMPARE(stacked.size(), QSize(900, 640));
    QCOMPARE(classic.size(), QSize(900, 640));
    QVERIFY(stacked != classic);
  }
};

QTEST_MAIN(StackedGraphTest)
#include "StackedGraphTest.moc"
