// The stacked view of the history graph: one lane per displayed channel on a
// shared time axis, the way back to the classic view, and the saved image.
#include <QtTest>

#include <QImage>

#include <filesystem>

#include "HistWindowTestSupport.h"
#include "SimProcess.h"
#include "app/CommandIds.h"
#include "format/RegionalSettings.h"
#include "history/GraphImage.h"
#include "history/graph/GraphControl.h"
#include "history/graph/GraphCursor.h"

using namespace zk7;

class StackedGraphTest : public QObject {
  Q_OBJECT
  std::string m_strDir;
  std::string m_strFile;

  static int DisplayedPlots(const CGraphControl& c) {
    int n = 0;
    for (int i = 0; i < c.GetPlotCount(); ++i)
      n += c.IsPlotShown(i) && (c.GetPlotAxis(i) == CGraphControl::AXIS_Y1 || c.GetPlotAxis(i) == CGraphControl::AXIS_Y2);
    return n;
  }

private slots:
  void initTestCase() {
    SetRegionalSettings(CRegionalSettings::Plain());
    m_strDir = MakeTempDir("zk7-stacked");
    m_strFile = m_strDir + "/ten-minutes.zk";
    WriteTestResults(m_strFile, 600, NEW_YEAR_2026, 3);
  }
  void cleanupTestCase() { std::filesystem::remove_all(m_strDir); }

  void stackedGivesALanePerChannelAndBack() {
    sHistWindow w(m_strFile);
    CGraphControl& c = *w.pGraph->GetControl();
    c.replot();
    QCOMPARE(c.axisRectCount(), 1);
    const int nShown = DisplayedPlots(c);
    QCOMPARE(nShown, 3);
    sCommandState st;
    QVERIFY(w.pFrame->OnUpdateCommand(ID_STACKED_VIEW, st));
    QVERIFY(st.m_bEnabled && !st.m_bChecked);

    QVERIFY(w.pFrame->OnCommand(ID_STACKED_VIEW));
    c.replot();
    QVERIFY(w.pFrame->OnUpdateCommand(ID_STACKED_VIEW, st) && st.m_bChecked);
    QCOMPARE(c.GetLaneCount(), nShown);
    QCOMPARE(c.axisRectCount(), nShown);
    // Each curve drawn in its lane, not under another lane's background.
    const QImage shot = c.grab().toImage();
    const qreal dRatio = shot.devicePixelRatio();
    int nPreviousBottom = -1;
    for (int k = 0; k < c.GetLaneCount(); ++k) {
      const int nPlot = c.GetLanePlot(k);
      QCPAxisRect* pRect = c.GetLaneRect(k);
      auto* pCurve = qobject_cast<QCPCurve*>(c.plottable(nPlot));
      QVERIFY(pCurve);
      QCOMPARE(pCurve->keyAxis()->axisRect(), pRect);
      QCOMPARE(pCurve->valueAxis(), c.GetLaneValueAxis(k));
      QVERIFY(c.GetPlotDataCount(nPlot) > 0);
      QCOMPARE(c.GetLaneValueAxis(k)->label(), c.GetPlotName(nPlot));
      double dMin, dMax;
      QVERIFY(w.pGraph->GetPoints().GetValueRange(nPlot, dMin, dMax));
      const QCPRange y = c.GetLaneValueAxis(k)->range();
      QVERIFY2(y.lower < dMin && dMax < y.upper, qPrintable(QStringLiteral("lane %1").arg(k)));
      QCOMPARE(c.GetLaneTimeAxis(k)->range(), c.xAxis->range());
      // Lanes one under the other, the plot areas aligned on the time axis.
      QVERIFY(pRect->height() > 20);
      int nCurvePixels = 0;
      for (int y = pRect->top(); y <= pRect->bottom(); ++y)
        for (int x = pRect->left(); x <= pRect->right(); ++x)
          nCurvePixels += shot.pixelColor(QPoint(qRound(x * dRatio), qRound(y * dRatio))) == c.GetPlotColour(nPlot);
      QVERIFY2(nCurvePixels >= pRect->width() / 2, qPrintable(QStringLiteral("lane %1: %2").arg(k).arg(nCurvePixels)));
      QVERIFY(pRect->top() > nPreviousBottom);
      nPreviousBottom = pRect->bottom();
      QCOMPARE(pRect->left(), c.axisRect()->left());
      QCOMPARE(pRect->width(), c.axisRect()->width());
    }
    // Moving the time of any lane moves every lane.
    const QCPRange r0 = c.xAxis->range();
    const QCPRange r1(r0.lower + r0.size() / 4, r0.upper - r0.size() / 4);
    c.GetLaneTimeAxis(c.GetLaneCount() - 1)->setRange(r1);
    for (int k = 0; k < c.GetLaneCount(); ++k) QCOMPARE(c.GetLaneTimeAxis(k)->range(), r1);
    QCOMPARE(c.xAxis->range(), r1);
    // A channel hidden from the graph leaves its lane.
    c.ShowPlot(1, false);
    c.replot();
    QCOMPARE(c.GetLaneCount(), nShown - 1);
    QCOMPARE(c.axisRectCount(), nShown - 1);
    c.ShowPlot(1, true);

    QVERIFY(w.pFrame->OnCommand(ID_STACKED_VIEW));
    c.replot();
    QCOMPARE(c.GetLaneCount(), 0);
    QCOMPARE(c.axisRectCount(), 1);
    QVERIFY(c.yAxis->visible());
    for (int i = 0; i < c.GetPlotCount(); ++i) {
      auto* pCurve = qobject_cast<QCPCurve*>(c.plottable(i));
      QCOMPARE(pCurve->keyAxis(), c.xAxis);
      QCOMPARE(pCurve->valueAxis(), c.Axis(c.GetPlotAxis(i) == CGraphControl::AXIS_Y2 ? CGraphControl::AXIS_Y2
                                                                                     : CGraphControl::AXIS_Y1));
    }
    QCOMPARE(c.xAxis->range(), r1);
  }

  void aCursorIsDraggedOnAnyLaneAndDrawnAcrossAll() {
    sHistWindow w(m_strFile);
    CGraphControl& c = *w.pGraph->GetControl();
    w.pGraph->SetStacked(true);
    w.State().m_aCursors[0].m_bShown = true;
    w.pGraph->ShowCursor(1);
    c.replot();
    QVERIFY(c.GetLaneCount() >= 2);
    const QRect bottom = c.GetLaneRect(c.GetLaneCount() - 1)->rect();
    const int x = qRound(c.xAxis->coordToPixel(c.Cursor(1).GetX()));
    const QPoint to(bottom.left() + bottom.width() / 3, bottom.center().y());
    auto send = [&c](QEvent::Type t, QPoint p, Qt::MouseButtons buttons) {
      QMouseEvent e(t, QPointF(p), c.mapToGlobal(QPointF(p)), Qt::LeftButton, buttons, Qt::NoModifier);
      QApplication::sendEvent(&c, &e);
    };
    send(QEvent::MouseButtonPress, QPoint(x + 1, bottom.center().y()), Qt::LeftButton);
    send(QEvent::MouseMove, to, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, to, Qt::NoButton);
    QVERIFY(std::fabs(c.xAxis->coordToPixel(c.Cursor(1).GetX()) - to.x()) < 1.0);
    c.replot();
    const QImage shot = c.grab().toImage();
    const qreal dRatio = shot.devicePixelRatio();
    const int nX = qRound(c.xAxis->coordToPixel(c.Cursor(1).GetX()));
    for (int k = 0; k < c.GetLaneCount(); ++k) {
      const QRect r = c.GetLaneRect(k)->rect();
      int nLine = 0;
      for (int y = r.top(); y <= r.bottom(); ++y)
        for (int dx = -1; dx <= 1; ++dx)
          nLine += shot.pixelColor(QPoint(qRound((nX + dx) * dRatio), qRound(y * dRatio))) == c.Cursor(1).GetColour();
      QVERIFY2(nLine >= r.height() / 2, qPrintable(QStringLiteral("lane %1: %2").arg(k).arg(nLine)));
    }
  }

  void savedImageOfTheStackedViewHasTheAskedSize() {
    sHistWindow w(m_strFile);
    w.pGraph->SetStacked(true);
    const QString strClassic = QString::fromStdString(m_strDir + "/classic.png");
    const QString strStacked = QString::fromStdString(m_strDir + "/stacked.png");
    QString strError;
    QVERIFY2(SaveGraphImage(*w.pFrame, strStacked, 900, 640, strError), qPrintable(strError));
    w.pGraph->SetStacked(false);
    QVERIFY2(SaveGraphImage(*w.pFrame, strClassic, 900, 640, strError), qPrintable(strError));
    const QImage stacked(strStacked), classic(strClassic);
    QCOMPARE(stacked.size(), QSize(900, 640));
    QCOMPARE(classic.size(), QSize(900, 640));
    QVERIFY(stacked != classic);
  }
};

QTEST_MAIN(StackedGraphTest)
#include "StackedGraphTest.moc"
