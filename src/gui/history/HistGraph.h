// CHistGraph: the graph pane of a results-file window: every channel over the
// history period, the two cursors, the alarm lines, the fixed marks, paging,
// and the scale and period commands of the tool bars.
#pragma once
#include <functional>
#include <vector>

#include <QWidget>

#include "history/GraphPeriod.h"
#include "history/GraphPoints.h"
#include "history/GraphZoom.h"
#include "ui/CommandTarget.h"

class QLabel;

namespace zk7 {

class CGraphControl;
class CHistFrame;
class CZK7Doc;
struct sHistViewState;

class CHistGraph : public QWidget, public ICommandTarget {
  Q_OBJECT
public:
  explicit CHistGraph(CHistFrame& frame, QWidget* pParent = nullptr);
  ~CHistGraph() override;

  CGraphControl* GetControl() const { return m_pControl; }
  const CGraphPoints& GetPoints() const { return m_points; }
  QLabel* GetLeftText() const { return m_pTextLeft; }
  QLabel* GetRightText() const { return m_pTextRight; }

  // The first display: the history period and time format from the file, then a rebuild.
  void OnInitialUpdate();
  // Everything again from the document (the view update; F5).
  void RebuildGraph();
  // While the points are read, events are dispatched: a window asked to close
  // then stops the reading first and closes afterwards.
  bool IsRebuilding() const { return m_bRebuilding; }
  void StopRebuild() { m_bStopRebuild = true; }
  // Re-applies the key, cursors, scales, grid and linking without reading points.
  void RefreshGraphState();
  // X axis = the history period (or the plotted records' times); automatic
  // scaling with an X channel.
  void SetTimeAxisRange(bool bFromRecords);
  // A new period (time axis only): re-plotted at once or through a Refresh.
  void SetHistoryPeriod(double dStart, double dEnd, bool bPostRefresh);
  bool IsZoomed() const;
  // Following a growing file: the new period, by appending the records written
  // since to the points (a rebuild when the points cannot simply be extended).
  void FollowPeriod(const sHistoryPeriod& period);
  void ShowAlarmLines();
  void DrawFixedMarks();
  void ShowPrevious();
  void ShowNext();
  // Page Up (false) or Page Down (true) in the graph.
  void PageKey(bool bDown);

  // Zoom history: the views the user went through (wheel, drags, zoom
  // rectangles, paging, the global view), back and forward.
  sGraphView GetView() const;
  const CZoomHistory& GetZoomHistory() const { return m_zoomHistory; }
  bool ZoomBack();
  bool ZoomForward();
  // The tooltip of a plot's point: channel name, the channel's time of the
  // record, and its value as the list shows it, with the unit.
  QString GetPointToolTip(int nPlot, int nPoint) const;

  // Cursors.
  int GetActiveCursor() const { return m_nActiveCursor; }
  void SetActiveCursor(int n) { m_nActiveCursor = n == 1 || n == 2 ? n : 0; }
  double GetCursorX(int n) const;
  double GetCursorY(int n) const;
  void ShowCursor(int n);
  void OnCursorChange(int nIndex, double dX, double dY);
  void UpdateDelta();
  // A cursor key (the core's key numbers) on the active cursor.
  void MoveCursorByKey(int nKey, bool bCtrl);
  // Places cursor n at time dX (the list's "Define Cursor n"), active, refreshed.
  void PlaceCursor(int n, double dX);

  // Scales and period.
  void ApplyScaleText(int nAxis);  // 1 X, 2 Y1, 3 Y2
  void AutoScale(int nAxis);
  void ApplyFixedDate();
  void ApplyHistoryLength();
  void FileGlobalView();
  void HistoricalGlobalView();
  void DefineHistoryFromCursors();
  void AddFixedMark();
  void EraseFixedMarks();

  int GetXChannel() const { return m_nXChannel; }
  bool GetGrid() const { return m_bGrid; }
  bool GetLinkPoints() const { return m_bLinkPoints; }
  // Every displayed channel in a lane of its own, or the classic Y1/Y2 view.
  void SetStacked(bool bStacked);
  bool IsStacked() const;

  // Copies the graph to the clipboard as a picture and as SVG; 0 or a failure code.
  long CopyGraphToClipboard();
  void PrintGraph();
  void PrintPreviewGraph();

  // The channel of the key's first selected row, -1 for none (the key pane
  // supplies it; without a key nothing is selected).
  void SetKeySelectionSource(std::function<int()> fn) { m_fnKeySelection = std::move(fn); }

  bool OnUpdateCommand(unsigned nId, sCommandState& state) override;
  bool OnCommand(unsigned nId) override;
  // The top row's first height comes from here: the graph's design height,
  // at most three fifths of the window.
  QSize sizeHint() const override;

signals:
  // The fixed marks changed: the key shows one column per mark.
  void fixedMarksChanged();
  // The tool bars must show the frame's values again.
  void toolStateChanged();

protected:
  void contextMenuEvent(QContextMenuEvent* pEvent) override;

private:
  CZK7Doc& Doc() const;
  sHistViewState& State() const;
  sHistoryPeriod Period() const;
  void StorePeriod(const sHistoryPeriod& p);
  void OnMouseDownLeft(Qt::KeyboardModifiers modifiers);
  void OnKeyDown(int nKey, Qt::KeyboardModifiers modifiers);
  void SetFixedTo(bool bFixed);
  void RefreshCursorTexts(int n);
  void UpdateScaleTexts();
  void Replot();
  void RebuildFromDocument();
  // The present view becomes the newest of the zoom history (unless held).
  void RecordView();
  void ApplyView(const sGraphView& v);

  CHistFrame& m_frame;
  CGraphControl* m_pControl;
  QLabel* m_pTextLeft;
  QLabel* m_pTextRight;
  CGraphPoints m_points;
  double m_dTimeBase = 0;
  int m_nActiveCursor = 0;
  bool m_bRebuilding = false;
  bool m_bStopRebuild = false;
  bool m_bGrid = false;
  bool m_bLinkPoints = true;
  int m_nXChannel = -1;
  std::vector<int> m_aLastPlaces;  // the curves' axes at the last refresh
  std::function<int()> m_fnKeySelection;
  CZoomHistory m_zoomHistory;
  int m_nViewRecordHold = 0;  // > 0: the view changes on the way, not by the user
};

} // namespace zk7
