// CGraphControl: the plotting surface of the history graph, over QCustomPlot.
// It offers what the graph pane drives: plots (one per channel), axes 1 to 4,
// the two cursors and the fixed marks, the alarm-line annotations, axis
// captions and the mouse tracking modes; it draws the points of a CGraphPoints
// through its envelope, about two points per pixel column.
#pragma once
#include <array>
#include <functional>
#include <memory>
#include <vector>

#include <qcustomplot.h>

namespace zk7 {

class CGraphCursor;
class CGraphPoints;
class CTimeAxisTicker;

class CGraphControl : public QCustomPlot {
  Q_OBJECT
public:
  // Axis 1 is X (time or an X channel), 2 Y1, 3 Y2; a plot on axis 4 is hidden.
  enum eAxis { AXIS_X = 1, AXIS_Y1 = 2, AXIS_Y2 = 3, AXIS_HIDDEN = 4 };
  // What a left press does: drag a cursor, draw a zoom rectangle, or pan.
  enum eTrackMode { TRACK_CURSORS = 2, TRACK_ZOOM_RECT = 3, TRACK_PAN = 6 };

  explicit CGraphControl(QWidget* pParent = nullptr);
  ~CGraphControl() override;

  // The points every plot draws from (plot i carries channel i); nullptr or
  // empty points draw nothing.
  void SetPoints(const CGraphPoints* pPoints);
  // Forgets the drawn data of every plot (after a failed or cancelled load).
  void RemoveAllPlotData();

  void SetPlotAreaColour(const QColor& colour);
  QColor GetPlotAreaColour() const;

  // Plots.
  void RemoveAllPlots();
  int AddPlot(const QString& strName, const QColor& colour);
  int GetPlotCount() const { return static_cast<int>(m_aPlots.size()); }
  void SetPlotAxis(int nPlot, eAxis eOn);
  eAxis GetPlotAxis(int nPlot) const;
  void ShowPlot(int nPlot, bool bShow);
  bool IsPlotShown(int nPlot) const;
  QColor GetPlotColour(int nPlot) const;
  QString GetPlotName(int nPlot) const;
  // Points handed to the plot for drawing (after the envelope).
  int GetPlotDataCount(int nPlot) const;
  // Lines between the points, or markers only.
  void SetLinkPoints(bool bLink);
  bool GetLinkPoints() const { return m_bLinkPoints; }

  // Axes.
  QCPAxis* Axis(eAxis e) const;
  void GetAxisRange(eAxis e, double& dMin, double& dMax) const;
  void SetAxisRange(eAxis e, double dMin, double dMax);
  void SetAutoScale(eAxis e, bool bAuto);
  bool IsAutoScale(eAxis e) const;
  // Fits the axis to the points of its shown plots (the X axis to the X channel).
  void RescaleNow(eAxis e);
  void SetAxisCaption(eAxis e, const QString& strCaption);
  QString GetAxisCaption(eAxis e) const;
  void ShowAxis(eAxis e, bool bShow);
  bool IsAxisShown(eAxis e) const;
  void SetGrid(bool bGrid);
  bool GetGrid() const { return m_bGrid; }
  // The X axis as time with these labels, or as the values of an X channel.
  void SetTimeAxis(int nTimeFormat, bool bShowFraction, int nDigits, int nDivisions);
  void SetValueXAxis();
  bool IsTimeAxis() const { return m_bTimeAxis; }
  int GetPlotPixelWidth() const;
  int GetPlotPixelHeight() const;

  // Stacked view: every displayed plot in a horizontal lane of its own, with
  // its own value axis captioned with its name; the lanes share the time axis
  // and the cursors. The lanes follow the plots and the points by themselves
  // at the next replot or rendering.
  void SetStacked(bool bStacked);
  bool IsStacked() const { return m_bStacked; }
  // The lanes as laid out now (empty in the classic view): the plot of each
  // lane and its axes.
  int GetLaneCount() const { return static_cast<int>(m_aLanes.size()); }
  int GetLanePlot(int nLane) const;
  QCPAxisRect* GetLaneRect(int nLane) const;
  QCPAxis* GetLaneValueAxis(int nLane) const;
  QCPAxis* GetLaneTimeAxis(int nLane) const;

  // Cursors 1 and 2.
  CGraphCursor& Cursor(int n) const;
  // Puts a locked cursor on point nPoint of plot nPlot; a point beyond the last
  // parks it at the X axis maximum at its present y.
  void SetCursorPoint(int n, int nPlot, int nPoint);
  // Locks the cursor to the point of nPlot nearest to its x (nPlot < 0: free).
  void LockCursor(int n, int nPlot);
  // Fixed marks: grey lines with their number at the top.
  void RemoveFixedMarks();
  void AddFixedMark(double dX, int nNumber);
  int GetFixedMarkCount() const { return static_cast<int>(m_aMarks.size()); }
  double GetFixedMarkX(int i) const;

  // The four alarm lines: horizontal lines across the plot on the value axis of
  // the channel.
  void SetAlarmLine(int k, bool bShown, double dValue, const QColor& colour, eAxis eOn);
  bool IsAlarmLineShown(int k) const;
  double GetAlarmLineValue(int k) const;
  QColor GetAlarmLineColour(int k) const;

  void SetTrackMode(eTrackMode e);
  eTrackMode GetTrackMode() const { return m_eTrackMode; }

  // The shown point nearest to pos (pixels) within nPixels; false when none is.
  bool FindNearestPoint(const QPointF& pos, int nPixels, int& nPlot, int& nPoint) const;
  // The tooltip of the point of a plot; the pane knows the channel's texts.
  void SetToolTipSource(std::function<QString(int nPlot, int nPoint)> fn) { m_fnToolTip = std::move(fn); }
  // The tooltip shown with the pointer at pos: empty away from every curve.
  QString ToolTipTextAt(const QPointF& pos) const;

  // Feeds every plot for the present ranges and nColumns pixel columns (0: the
  // plot's width); replot() does it by itself.
  void UpdateCurves(int nColumns = 0);
  // Draws the graph into a painter at nWidth x nHeight logical pixels.
  void RenderTo(QCPPainter& painter, int nWidth, int nHeight);
  // The same into a painter that scales screen pixels of nScreenDpi up to a
  // device (a printer page): the texts are given in screen pixels for the
  // time, so that the painter's scale sizes them once, as it does the lines.
  void RenderAtScreenSize(QCPPainter& painter, int nWidth, int nHeight, int nScreenDpi);

signals:
  void mouseDownLeft(Qt::KeyboardModifiers modifiers);
  // A cursor was dragged to (x, y).
  void cursorDragged(int nCursor, double dX, double dY);
  void keyDown(int nKey, Qt::KeyboardModifiers modifiers);
  void graphDoubleClicked();
  // The user zoomed or panned (the wheel, the end of a drag or of a zoom rectangle).
  void viewChangedByUser();

protected:
  void mousePressEvent(QMouseEvent* pEvent) override;
  void mouseMoveEvent(QMouseEvent* pEvent) override;
  void mouseReleaseEvent(QMouseEvent* pEvent) override;
  void mouseDoubleClickEvent(QMouseEvent* pEvent) override;
  void keyPressEvent(QKeyEvent* pEvent) override;
  void wheelEvent(QWheelEvent* pEvent) override;
  bool event(QEvent* pEvent) override;

private:
  struct sPlot {
    QCPCurve* pCurve = nullptr;
    eAxis eOn = AXIS_Y1;
    bool bShown = true;
    // What was fed last, to feed again only when the view changed.
    double dFedMin = 0, dFedMax = 0, dFedYMin = 0, dFedYMax = 0;
    int nFedColumns = -1;
  };
  void FeedPlot(int nPlot, int nColumns);
  void ApplyPlotStyle(sPlot& p);
  void MoveDraggedCursor(const QPointF& pos);
  struct sLane {
    int nPlot = -1;
    QCPAxisRect* pRect = nullptr;
    QCPAxis* pX = nullptr;
    QCPAxis* pY = nullptr;
    // Cursor 1, cursor 2 and the fixed marks drawn across this lane.
    std::vector<QCPItemStraightLine*> aLines;
  };
  // The plot area (the classic one or a lane's) under pos; nullptr off them.
  QCPAxisRect* PlotRectAt(const QPointF& pos) const;
  void LanesChanged() { m_bLanesDirty = true; }
  void ApplyLanes();
  void BuildLanes();
  void RemoveLanes();
  void PlaceLaneLines();

  const CGraphPoints* m_pPoints = nullptr;
  std::vector<sPlot> m_aPlots;
  std::array<bool, 4> m_aAuto{{false, true, true, true}};
  bool m_bLinkPoints = true;
  bool m_bGrid = false;
  bool m_bTimeAxis = true;
  QSharedPointer<CTimeAxisTicker> m_pTimeTicker;
  QCPLayer* m_pCursorLayer = nullptr;
  std::unique_ptr<CGraphCursor> m_pCursors[2];
  std::vector<std::unique_ptr<CGraphCursor>> m_aMarks;
  std::array<QCPItemStraightLine*, 4> m_aAlarmLines{};
  std::array<double, 4> m_aAlarmValues{};
  eTrackMode m_eTrackMode = TRACK_CURSORS;
  int m_nDraggedCursor = 0;
  bool m_bUserView = false;
  bool m_bPlainPan = false;  // a plain drag on the plot moves the view
  std::array<QCPRange, 3> m_aPressRanges{};  // X, Y1, Y2 when the drag began
  std::function<QString(int, int)> m_fnToolTip;
  bool m_bStacked = false;
  bool m_bLanesDirty = false;
  std::vector<sLane> m_aLanes;
  QCPMarginGroup* m_pMarginGroup = nullptr;
  QString m_strXCaption;  // the time caption, moved to the bottom lane while stacked
  std::array<bool, 4> m_aAlarmShown{};
};

// 0x00BBGGRR as a colour.
QColor ColourFromRef(uint32_t nColour);

} // namespace zk7
