// The ticks and labels of the graph's time axis, placed and written by the core
// rules ("mm/dd/yy hh:nn:ss" and the resolution's fraction).
#pragma once
#include <qcustomplot.h>

namespace zk7 {

class CTimeAxisTicker : public QCPAxisTicker {
public:
  void SetFormat(int nTimeFormat, bool bShowFraction, int nDigits, int nDivisions);
  // Labels need room: fewer divisions on a narrow plot.
  void SetPixelWidth(int nPixels, int nLabelPixels);

protected:
  int getSubTickCount(double dTickStep) override;
  QString getTickLabel(double dTick, const QLocale& locale, QChar cFormat, int nPrecision) override;
  QVector<double> createTickVector(double dTickStep, const QCPRange& range) override;

private:
  int m_nTimeFormat = 0;
  bool m_bShowFraction = true;
  int m_nDigits = 3;
  int m_nDivisions = 3;
  int m_nMaxDivisions = 3;
};

} // namespace zk7
