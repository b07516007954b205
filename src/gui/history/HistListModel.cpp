#include "history/HistListModel.h"

#include <QPainter>
#include <QSvgRenderer>

#include <algorithm>
#include <array>

#include "results/ZK7Exception.h"

static void InitHistListResource() { Q_INIT_RESOURCE(HistList); }

namespace zk7 {

CHistListModel::CHistListModel(QObject* pParent) : QAbstractTableModel(pParent) {}

CHistListModel::~CHistListModel() = default;

void CHistListModel::SetRows(std::unique_ptr<CHistRowText> pRows) {
  beginResetModel();
  m_pRows = std::move(pRows);
  m_nRecordCount = m_pRows ? m_pRows->GetRowCount() : 0;
  m_nTop = std::clamp(m_nTop, 0, std::max(0, GetRecordCount() - 1));
  endResetModel();
}

void CHistListModel::SetMarkers(const std::vector<int>& aFixedMarks, int nCursor1Record, int nCursor2Record) {
  if (!m_pRows) return;
  sListOptions options = m_pRows->GetOptions();
  if (options.m_aFixedMarks == aFixedMarks && options.m_nCursor1Record == nCursor1Record &&
      options.m_nCursor2Record == nCursor2Record)
    return;
  options.m_aFixedMarks = aFixedMarks;
  options.m_nCursor1Record = nCursor1Record;
  options.m_nCursor2Record = nCursor2Record;
  // The displayed channels are already complete, so the columns stay as they are.
  m_pRows = std::make_unique<CHistRowText>(m_pRows->GetDocument(), std::move(options));
  if (const int n = WindowRows(); n > 0) emit dataChanged(index(0, 0), index(n - 1, 0));
}

void CHistListModel::OnRecordsAppended() {
  const int nCount = m_pRows ? m_pRows->GetRowCount() : 0;
  if (nCount <= m_nRecordCount) return;
  const int nOld = WindowRows();
  const int nNew = std::clamp(nCount - m_nTop, 0, m_nWindowRows);
  if (nNew > nOld) {
    beginInsertRows(QModelIndex(), nOld, nNew - 1);
    m_nRecordCount = nCount;
    endInsertRows();
  } else {
    m_nRecordCount = nCount;
  }
}

int CHistListModel::WindowRows() const {
  return std::clamp(GetRecordCount() - m_nTop, 0, m_nWindowRows);
}

void CHistListModel::SetWindow(int nTop, int nRows) {
  nRows = std::max(nRows, 0);
  const int nOld = WindowRows();
  const int nOldTop = m_nTop;
  m_nTop = std::clamp(nTop, 0, std::max(0, GetRecordCount() - 1));
  m_nWindowRows = nRows;
  const int nNew = WindowRows();
  // Rows come and go one by one, never by a reset: a reset would forget the
  // column widths of the header.
  m_nWindowRows = nOld;
  if (nNew > nOld) {
    beginInsertRows(QModelIndex(), nOld, nNew - 1);
    m_nWindowRows = nRows;
    endInsertRows();
  } else if (nNew < nOld) {
    beginRemoveRows(QModelIndex(), nNew, nOld - 1);
    m_nWindowRows = nRows;
    endRemoveRows();
  }
  m_nWindowRows = nRows;
  if ((m_nTop != nOldTop || nNew != nOld) && nNew > 0)
    emit dataChanged(index(0, 0), index(nNew - 1, columnCount() - 1));
}

int CHistListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : WindowRows(); }

int CHistListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() || !m_pRows ? 0 : m_pRows->GetColumnCount();
}

QVariant CHistListModel::data(const QModelIndex& index, int nRole) const {
  if (!m_pRows || !index.isValid() || index.row() >= WindowRows()) return {};
  const int nRecord = RecordOfRow(index.row());
  switch (nRole) {
    case Qt::DisplayRole:
      try {
        const std::string s = m_pRows->GetCellText(nRecord, index.column());
        return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
      } catch (const CZK7Exception&) {
        // A record the file no longer gives (a removed medium) is drawn empty:
        // painting cannot show a message, and the outputs report the failure.
        return {};
      }
    case Qt::DecorationRole:
      if (index.column() == 0) return MarkerPixmap(m_pRows->GetRowMarker(nRecord));
      return {};
    case Qt::TextAlignmentRole: {
      const auto& aColumns = m_pRows->GetColumns();
      const bool bRight = static_cast<size_t>(index.column()) < aColumns.size() &&
                          aColumns[static_cast<size_t>(index.column())].nAlign == 1;
      return static_cast<int>((bRight ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    }
    default:
      return {};
  }
}

QVariant CHistListModel::headerData(int nSection, Qt::Orientation eOrientation, int nRole) const {
  if (eOrientation != Qt::Horizontal || !m_pRows || nSection < 0 || nSection >= m_pRows->GetColumnCount()) return {};
  const sColumnDesc& desc = m_pRows->GetColumns()[static_cast<size_t>(nSection)];
  if (nRole == Qt::DisplayRole) return QString::fromLatin1(desc.strTitle.data(), static_cast<qsizetype>(desc.strTitle.size()));
  if (nRole == Qt::TextAlignmentRole)
    return static_cast<int>((desc.nAlign == 1 ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
  return {};
}

const QPixmap& CHistListModel::MarkerPixmap(int nMarker) {
  static const std::array<QPixmap, 5> s_aPixmaps = [] {
    InitHistListResource();
    static const char* const NAMES[5] = {"none", "cursor1", "cursor2", "both", "fixed"};
    std::array<QPixmap, 5> a;
    for (size_t i = 0; i < a.size(); ++i) {
      QPixmap pixmap(16, 16);
      pixmap.fill(Qt::transparent);
      QSvgRenderer svg(QStringLiteral(":/history/icons/marker-%1.svg").arg(QLatin1String(NAMES[i])));
      QPainter painter(&pixmap);
      svg.render(&painter);
      painter.end();
      a[i] = pixmap;
    }
    return a;
  }();
  return s_aPixmaps[static_cast<size_t>(std::clamp(nMarker, 0, 4))];
}

} // namespace zk7
