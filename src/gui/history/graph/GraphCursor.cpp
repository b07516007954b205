// Items of a graph cursor.
#include "history/graph/GraphCursor.h"

#include <qcustomplot.h>

namespace zk7 {

CGraphCursor::CGraphCursor(QCustomPlot* pPlot, QCPLayer* pLayer, const QColor& colour, const QString& strCaption,
                           bool bCaptionAtTop)
    : m_pPlot(pPlot), m_pValueAxis(pPlot->yAxis), m_dCaptionRatio(bCaptionAtTop ? 0.0 : 1.0) {
  m_pLine = new QCPItemStraightLine(pPlot);
  m_pMarker = new QCPItemTracer(pPlot);
  m_pCaption = new QCPItemText(pPlot);
  for (QCPAbstractItem* p : {static_cast<QCPAbstractItem*>(m_pLine), static_cast<QCPAbstractItem*>(m_pMarker),
                             static_cast<QCPAbstractItem*>(m_pCaption)}) {
    p->setLayer(pLayer);
    p->setSelectable(false);
    p->setClipToAxisRect(true);
  }
  m_pMarker->setStyle(QCPItemTracer::tsSquare);
  m_pMarker->setSize(9);
  m_pMarker->setInterpolating(false);
  // The caption sits just inside the top or the bottom of the plot, beside the line.
  m_pCaption->position->setTypeY(QCPItemPosition::ptAxisRectRatio);
  m_pCaption->setPositionAlignment(Qt::AlignLeft | (bCaptionAtTop ? Qt::AlignTop : Qt::AlignBottom));
  m_pCaption->setPadding(QMargins(3, 1, 3, 1));
  m_pCaption->setText(strCaption);
  QFont font = m_pCaption->font();
  font.setBold(true);
  m_pCaption->setFont(font);
  SetColour(colour);
  Place();
}

CGraphCursor::~CGraphCursor() {
  m_pPlot->removeItem(m_pLine);
  m_pPlot->removeItem(m_pMarker);
  m_pPlot->removeItem(m_pCaption);
}

void CGraphCursor::SetColour(const QColor& colour) {
  m_colour = colour;
  QPen pen(colour, 1.5);
  m_pLine->setPen(pen);
  m_pMarker->setPen(QPen(colour, 1.5));
  m_pMarker->setBrush(Qt::NoBrush);
  m_pCaption->setColor(colour);
}

void CGraphCursor::SetValueAxis(QCPAxis* pAxis) {
  if (pAxis == m_pValueAxis) return;
  m_pValueAxis = pAxis;
  Place();
}

void CGraphCursor::SetPosition(double x, double y) {
  m_dX = x;
  m_dY = y;
  Place();
}

void CGraphCursor::SetVisible(bool bVisible) {
  m_bVisible = bVisible;
  m_pLine->setVisible(bVisible);
  m_pMarker->setVisible(bVisible && m_bMarkerShown);
  m_pCaption->setVisible(bVisible);
}

void CGraphCursor::SetMarkerShown(bool bShown) {
  m_bMarkerShown = bShown;
  SetVisible(m_bVisible);
}

void CGraphCursor::Place() {
  QCPAxis* pKeyAxis = m_pPlot->xAxis;
  m_pLine->point1->setAxes(pKeyAxis, m_pValueAxis);
  m_pLine->point2->setAxes(pKeyAxis, m_pValueAxis);
  m_pMarker->position->setAxes(pKeyAxis, m_pValueAxis);
  m_pCaption->position->setAxes(pKeyAxis, m_pValueAxis);
  m_pCaption->position->setAxisRect(m_pPlot->axisRect());
  // A vertical line through x, whatever the value range.
  m_pLine->point1->setCoords(m_dX, 0);
  m_pLine->point2->setCoords(m_dX, 1);
  m_pMarker->position->setCoords(m_dX, m_dY);
  m_pCaption->position->setCoords(m_dX, m_dCaptionRatio);
}

} // namespace zk7
