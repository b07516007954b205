#include "logs/LogTableModel.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <algorithm>

namespace zk7 {

namespace {

QString FromLatin1(const std::string& s) { return QString::fromLatin1(s.c_str(), static_cast<qsizetype>(s.size())); }

} // namespace

CLogTableModel::CLogTableModel(std::shared_ptr<const CZK7LogDoc> pDoc, QObject* pParent)
    : QAbstractTableModel(pParent), m_pDoc(std::move(pDoc)) {
  m_aOrder.resize(static_cast<size_t>(m_pDoc->GetLineCount()));
  for (size_t i = 0; i < m_aOrder.size(); ++i) m_aOrder[i] = static_cast<int>(i);
  m_aMarks[0] = SortMarkIcon(0);
  m_aMarks[1] = SortMarkIcon(1);
}

int CLogTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(m_aOrder.size());
}

int CLogTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : m_pDoc->GetColumnCount();
}

int CLogTableModel::LineOfRow(int nRow) const {
  return nRow >= 0 && nRow < static_cast<int>(m_aOrder.size()) ? m_aOrder[static_cast<size_t>(nRow)] : -1;
}

QVariant CLogTableModel::data(const QModelIndex& index, int nRole) const {
  if (!index.isValid()) return QVariant();
  switch (nRole) {
    case Qt::DisplayRole: return FromLatin1(m_pDoc->GetField(LineOfRow(index.row()), index.column()));
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(Qt::AlignVCenter |
                                 (CZK7LogDoc::GetColumnAlign(index.column()) ? Qt::AlignRight : Qt::AlignLeft));
    case LineIndexRole: return LineOfRow(index.row());
    default: return QVariant();
  }
}

QVariant CLogTableModel::headerData(int nSection, Qt::Orientation eOrientation, int nRole) const {
  if (eOrientation != Qt::Horizontal) return QAbstractTableModel::headerData(nSection, eOrientation, nRole);
  switch (nRole) {
    case Qt::DisplayRole: return FromLatin1(CZK7LogDoc::GetColumnTitle(nSection));
    case Qt::DecorationRole:
      if (nSection == m_sort.GetMarkedColumn()) return m_aMarks[m_sort.GetMarkIcon()];
      return QVariant();
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(Qt::AlignVCenter |
                                 (CZK7LogDoc::GetColumnAlign(nSection) ? Qt::AlignRight : Qt::AlignLeft));
    default: return QVariant();
  }
}

void CLogTableModel::ClickColumn(int nColumn) {
  if (nColumn < 0 || nColumn >= columnCount()) return;
  const int nUnmark = m_sort.Click(nColumn);
  emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
  const QModelIndexList aOld = persistentIndexList();
  std::vector<int> aLines;
  aLines.reserve(static_cast<size_t>(aOld.size()));
  for (const QModelIndex& index : aOld) aLines.push_back(LineOfRow(index.row()));

  m_sort.Sort(*m_pDoc, m_aOrder);

  std::vector<int> aRowOfLine(m_aOrder.size());
  for (size_t nRow = 0; nRow < m_aOrder.size(); ++nRow) aRowOfLine[static_cast<size_t>(m_aOrder[nRow])] = static_cast<int>(nRow);
  QModelIndexList aNew;
  aNew.reserve(aOld.size());
  for (qsizetype i = 0; i < aOld.size(); ++i)
    aNew.append(index(aRowOfLine[static_cast<size_t>(aLines[static_cast<size_t>(i)])], aOld[i].column()));
  changePersistentIndexList(aOld, aNew);
  emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);

  const int nFirst = nUnmark >= 0 ? std::min(nUnmark, nColumn) : nColumn;
  const int nLast = std::max(nUnmark, nColumn);
  emit headerDataChanged(Qt::Horizontal, nFirst, nLast);
}

QIcon CLogTableModel::SortMarkIcon(int nIcon) {
  // A triangle pointing up for the first mark, down for the second.
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  QPainterPath path;
  if (nIcon == 0) {
    path.moveTo(8, 4);
    path.lineTo(13, 11);
    path.lineTo(3, 11);
  } else {
    path.moveTo(3, 5);
    path.lineTo(13, 5);
    path.lineTo(8, 12);
  }
  path.closeSubpath();
  painter.fillPath(path, QColor(96, 96, 96));
  painter.end();
  return QIcon(pixmap);
}

} // namespace zk7
