// Time axis ticks through the core's placement and label rules.
#include "history/graph/TimeAxisTicker.h"

#include <algorithm>

#include "history/GraphAxisText.h"

namespace zk7 {

void CTimeAxisTicker::SetFormat(int nTimeFormat, bool bShowFraction, int nDigits, int nDivisions) {
  m_nTimeFormat = nTimeFormat;
  m_bShowFraction = bShowFraction;
  m_nDigits = nDigits;
  m_nDivisions = std::max(1, nDivisions);
  m_nMaxDivisions = m_nDivisions;
}

void CTimeAxisTicker::SetPixelWidth(int nPixels, int nLabelPixels) {
  const int nFit = nLabelPixels > 0 ? nPixels / (nLabelPixels + nLabelPixels / 2) : m_nDivisions;
  m_nMaxDivisions = std::clamp(nFit, 1, m_nDivisions);
}

int CTimeAxisTicker::getSubTickCount(double) { return 0; }

QString CTimeAxisTicker::getTickLabel(double dTick, const QLocale&, QChar, int) {
  return QString::fromLatin1(FormatTimeAxisLabel(dTick, m_nTimeFormat, m_bShowFraction, m_nDigits));
}

QVector<double> CTimeAxisTicker::createTickVector(double, const QCPRange& range) {
  const std::vector<double> a = GetTimeAxisTicks(range.lower, range.upper, m_nMaxDivisions, m_bShowFraction, m_nDigits);
  return QVector<double>(a.begin(), a.end());
}

} // namespace zk7
