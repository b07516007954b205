// One measurement cursor or fixed mark of the graph: the items that draw it (a
// vertical line, a marker on the point, a caption) kept together on one layer.
#pragma once
#include <QColor>
#include <QString>

class QCPAxis;
class QCPItemStraightLine;
class QCPItemText;
class QCPItemTracer;
class QCPLayer;
class QCustomPlot;

namespace zk7 {

class CGraphCursor {
public:
  // The items go on pLayer; the cursor stores plot coordinates, never pixels.
  // The caption sits at the top of the plot, or at its bottom.
  CGraphCursor(QCustomPlot* pPlot, QCPLayer* pLayer, const QColor& colour, const QString& strCaption,
               bool bCaptionAtTop);
  ~CGraphCursor();
  CGraphCursor(const CGraphCursor&) = delete;
  CGraphCursor& operator=(const CGraphCursor&) = delete;

  void SetColour(const QColor& colour);
  QColor GetColour() const { return m_colour; }
  // The value axis the y position refers to (Y1 or Y2).
  void SetValueAxis(QCPAxis* pAxis);
  QCPAxis* GetValueAxis() const { return m_pValueAxis; }
  void SetPosition(double x, double y);
  double GetX() const { return m_dX; }
  double GetY() const { return m_dY; }
  void SetVisible(bool bVisible);
  bool IsVisible() const { return m_bVisible; }
  // A fixed mark shows only its line and its number at the top of the plot.
  void SetMarkerShown(bool bShown);

  // Locking: the plot (channel) the cursor snaps to and the point it is on;
  // -1 for a free cursor.
  int m_nPlot = -1;
  int m_nPoint = -1;

private:
  void Place();

  QCustomPlot* m_pPlot;
  QCPAxis* m_pValueAxis;
  QCPItemStraightLine* m_pLine;
  QCPItemTracer* m_pMarker;
  QCPItemText* m_pCaption;
  QColor m_colour;
  double m_dX = 0, m_dY = 0;
  bool m_bVisible = true;
  bool m_bMarkerShown = true;
  double m_dCaptionRatio = 0;
};

} // namespace zk7
