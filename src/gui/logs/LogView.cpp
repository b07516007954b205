#include "logs/LogView.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFontDatabase>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QStyle>
#include <QStyleOptionHeader>

#include <algorithm>

#include "history/PrintLayout.h"
#include "logs/LogTableModel.h"
#include "ui/FixedFont.h"

namespace zk7 {

namespace {

// The clipboard format that carries the copied bytes unchanged, beside the
// text/plain that other programs read.
const char* const s_pszLatin1Mime = "text/plain;charset=ISO-8859-1";

bool IsCtrlLeftClick(const QMouseEvent* pEvent) {
  return (pEvent->button() == Qt::LeftButton || (pEvent->buttons() & Qt::LeftButton)) &&
         (pEvent->modifiers() & Qt::ControlModifier);
}

} // namespace

CZK7LogView::CZK7LogView(std::shared_ptr<const CZK7LogDoc> pDoc, QWidget* pParent)
    : QTableView(pParent), m_pDoc(std::move(pDoc)), m_pModel(new CLogTableModel(m_pDoc, this)) {
  setFont(FixedPitchFont());
  setModel(m_pModel);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setShowGrid(false);
  setWordWrap(false);
  setCornerButtonEnabled(false);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  verticalHeader()->hide();
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
  horizontalHeader()->setSectionsClickable(true);
  horizontalHeader()->setHighlightSections(false);
  horizontalHeader()->setStretchLastSection(false);
  connect(horizontalHeader(), &QHeaderView::sectionClicked, this, &CZK7LogView::ClickColumn);
  SetUpColumns();
}

void CZK7LogView::SetUpColumns() {
  const int w = fontMetrics().horizontalAdvance(QLatin1Char('X'));
  const QFontMetrics titleMetrics(horizontalHeader()->font());
  for (int c = 0; c < m_pDoc->GetColumnCount(); ++c) {
    const QString strTitle = m_pModel->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    int nWidth = std::max(titleMetrics.horizontalAdvance(strTitle), m_pDoc->GetColumnWidth(c) * w) + 2 * w;
    // Any column can carry the sort mark beside its title: room for both, so
    // that a sort does not cut the title ("N°" is narrower than the mark).
    QStyleOptionHeader option;
    option.initFrom(horizontalHeader());
    option.text = strTitle;
    option.icon = CLogTableModel::SortMarkIcon(0);
    option.fontMetrics = titleMetrics;
    nWidth = std::max(nWidth, horizontalHeader()->style()->sizeFromContents(QStyle::CT_HeaderSection, &option, QSize(),
                                                                             horizontalHeader()).width());
    horizontalHeader()->resizeSection(c, nWidth);
  }
}

void CZK7LogView::ClickColumn(int nColumn) { m_pModel->ClickColumn(nColumn); }

std::vector<int> CZK7LogView::GetSelectedRows() const {
  std::vector<int> aRows;
  if (!selectionModel()) return aRows;
  for (const QModelIndex& index : selectionModel()->selectedRows()) aRows.push_back(index.row());
  std::sort(aRows.begin(), aRows.end());
  return aRows;
}

std::vector<int> CZK7LogView::GetSelectedLines() const {
  std::vector<int> aLines;
  for (int nRow : GetSelectedRows()) aLines.push_back(m_pModel->LineOfRow(nRow));
  return aLines;
}

bool CZK7LogView::HasSelection() const { return selectionModel() && selectionModel()->hasSelection(); }

eClipboardFailure CZK7LogView::CopyToClipboard() {
  if (!HasSelection()) return CLIPBOARD_OK;
  QClipboard* pClipboard = QGuiApplication::clipboard();
  if (!pClipboard) return CLIPBOARD_CANNOT_OPEN;
  const std::string strText = BuildLogCopyText(*m_pDoc, GetSelectedLines());
  const QByteArray bytes(strText.data(), static_cast<qsizetype>(strText.size()));
  auto* pData = new QMimeData;
  pData->setText(QString::fromLatin1(bytes));
  pData->setData(QString::fromLatin1(s_pszLatin1Mime), bytes);
  pClipboard->setMimeData(pData);
  // The platform gives no answer when it refuses the data: read it back.
  const QMimeData* pNow = pClipboard->mimeData();
  if (!pNow || pNow->text() != QString::fromLatin1(bytes)) return CLIPBOARD_CANNOT_SET;
  return CLIPBOARD_OK;
}

void CZK7LogView::Copy() {
  const eClipboardFailure eFailure = CopyToClipboard();
  if (eFailure != CLIPBOARD_OK)
    QMessageBox::warning(this, QGuiApplication::applicationDisplayName(),
                         QString::fromLatin1(ClipboardFailureText(eFailure)), QMessageBox::Ok);
}

sTabbedPrintJob CZK7LogView::MakePrintJob() const {
  sTabbedPrintJob job;
  // The file name in the file system's encoding, printed in the 8-bit set of the printouts.
  job.strElement = QFile::decodeName(QByteArray::fromStdString(m_pDoc->GetTitle())).toUtf8().toStdString();
  job.strTitleLine = LogPrintTitleLine(*m_pDoc);
  job.aColumnPositions = ColumnPositions(m_pDoc->GetColumnWidths());
  // Only the selected rows, in display order: after a sort the selection may
  // lie in several blocks, and rows the user did not select are not printed.
  const std::vector<int> aLines = GetSelectedLines();
  job.nRowCount = static_cast<int>(aLines.size());
  std::shared_ptr<const CZK7LogDoc> pDoc = m_pDoc;
  job.rowLine = [pDoc, aLines](int i) { return LogPrintRowLine(*pDoc, aLines[static_cast<size_t>(i)]); };
  return job;
}

bool CZK7LogView::PrintTo(QPrinter& printer) const { return PrintTabbedJob(printer, MakePrintJob()); }

void CZK7LogView::Print() {
  if (HasSelection()) PrintTabbedJobWithDialog(this, MakePrintJob());
}

void CZK7LogView::PrintPreview() {
  if (HasSelection()) PreviewTabbedJob(this, MakePrintJob());
}

// A Ctrl+click would make a selection of several blocks: it is ignored, so the
// selection is always one run of rows.
void CZK7LogView::mousePressEvent(QMouseEvent* pEvent) {
  if (IsCtrlLeftClick(pEvent)) {
    pEvent->accept();
    return;
  }
  QTableView::mousePressEvent(pEvent);
}

void CZK7LogView::mouseReleaseEvent(QMouseEvent* pEvent) {
  if (IsCtrlLeftClick(pEvent)) {
    pEvent->accept();
    return;
  }
  QTableView::mouseReleaseEvent(pEvent);
}

void CZK7LogView::mouseDoubleClickEvent(QMouseEvent* pEvent) {
  if (IsCtrlLeftClick(pEvent)) {
    pEvent->accept();
    return;
  }
  QTableView::mouseDoubleClickEvent(pEvent);
}

void CZK7LogView::keyPressEvent(QKeyEvent* pEvent) {
  // The list's own copy takes the current cell only; ours takes whole lines.
  if (pEvent == QKeySequence::Copy) {
    Copy();
    pEvent->accept();
    return;
  }
  QTableView::keyPressEvent(pEvent);
}

} // namespace zk7
