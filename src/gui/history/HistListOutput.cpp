// Export, copy and printout of the record list's selected lines, and the copy
// command of the history window.
#include "history/HistListOutput.h"

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QMimeData>
#include <QPointer>

#include <memory>
#include <new>

#include "history/HistCopyFormatDialog.h"
#include "history/HistFrame.h"
#include "history/HistGraph.h"
#include "history/HistLegend.h"
#include "history/HistList.h"
#include "history/HistListCommands.h"
#include "history/HistRowText.h"
#include "history/PrintLayout.h"
#include "history/RecordCsv.h"
#include "history/RecordExport.h"
#include "results/ZK7Doc.h"
#include "results/ZK7Exception.h"
#include "strings/StringTable.h"
#include "ui/dialogs/3ButtonsDialog.h"
#include "ui/dialogs/WaitDialog.h"

namespace zk7 {

namespace {

// The clipboard format that carries the copied bytes unchanged, beside the
// text/plain that other programs read.
const char* const s_pszLatin1Mime = "text/plain;charset=ISO-8859-1";

struct sWaitCursor {
  sWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~sWaitCursor() { QApplication::restoreOverrideCursor(); }
};

class CQFileRecordSink : public IRecordSink {
public:
  explicit CQFileRecordSink(QFile& file) : m_file(file) {}
  bool Write(const char* p, size_t n) override {
    return m_file.write(p, static_cast<qint64>(n)) == static_cast<qint64>(n);
  }

private:
  QFile& m_file;
};

void Warn(QWidget* pParent, const std::string& strText) {
  QMessageBox::warning(pParent, QGuiApplication::applicationDisplayName(), QString::fromLatin1(strText));
}

// The document's title as the page header takes it.
std::string ElementTitle(const CHistFrame& frame) {
  return QFile::decodeName(QByteArray::fromStdString(frame.GetDocument().GetTitle())).toUtf8().toStdString();
}

} // namespace

std::string WriteSelectedLines(CHistList& list, IRecordSink& sink, eListLines eLines, bool* pbCancelled) {
  if (pbCancelled) *pbCancelled = false;
  sWaitCursor wait;
  list.RefreshMarkers();
  // Copies: the wait dialog lets events through, and a rebuild of the list
  // must not pull the rows or the selection from under the export.
  const CHistRowText rows = list.GetRowText();
  const std::vector<sRowBlock> aBlocks = list.GetSelection().GetBlocks();
  const std::shared_ptr<CZK7Doc> pKeepDocument = list.GetFrame().GetDocumentPtr();
  const int64_t nTotal = list.GetSelection().GetCount();

  CWaitDialog dialog(IDS_EXPORTING_RECORDS);
  dialog.Create(nullptr);
  dialog.SetRange(0, static_cast<int>(nTotal));
  dialog.SetStep(1);
  dialog.SetStatusText(QString::fromLatin1(ExportProgressText(0, nTotal)));
  std::string strError;
  // Cancel is polled every 64 rows; the bar and the count are redrawn at most
  // ten times a second, since drawing them every 64 rows would take longer
  // than the export itself.
  QElapsedTimer shown;
  shown.start();
  bool bFirst = true;
  try {
    const ExportProgress progress = [&dialog, &shown, &bFirst, pbCancelled](int64_t nWritten, int64_t nAll) {
      if (bFirst || shown.elapsed() >= 100) {
        bFirst = false;
        shown.restart();
        dialog.SetPos(static_cast<int>(nWritten));
        dialog.SetStatusText(QString::fromLatin1(ExportProgressText(nWritten, nAll)));
      }
      const bool bGoOn = dialog.CheckCancel() == 0;
      if (!bGoOn && pbCancelled) *pbCancelled = true;
      return bGoOn;
    };
    const unsigned nError =
        eLines == LIST_LINES_TEXT
            ? WriteRecordLines(rows, aBlocks, sink, progress)
            : WriteCsvLines(rows, aBlocks, CSV_ERRORS_EMPTY, eLines == LIST_LINES_CSV, sink, progress);
    if (nError) strError = EXPORT_WRITE_ERROR_TEXT;
  } catch (const CZK7Exception& e) {
    strError = e.GetText().empty() ? std::string(EXPORT_WRITE_ERROR_TEXT) : e.GetText();
  }
  dialog.DestroyWindow();
  return strError;
}

int ExportSelection(CHistList& list) {
  if (!list.HasSelection()) {
    Warn(&list, LIST_SELECT_TO_EXPORT);
    return LIST_OUTPUT_FAILURE;
  }
  const CZK7Doc& doc = list.GetFrame().GetDocument();
  const QString strProposed = QFile::decodeName(QByteArray::fromStdString(ProposeExportFileName(doc.GetTitle())));
  const QString strFolder = QFileInfo(QFile::decodeName(QByteArray::fromStdString(doc.GetPathName()))).absolutePath();
  QString strPath;
  bool bAppend = false;
  bool bCsv = false;
  for (;;) {
    QFileDialog dialog(&list, QString::fromLatin1(LIST_EXPORT_TITLE), strFolder, QString::fromLatin1(LIST_EXPORT_FILTER));
    dialog.setNameFilters({QString::fromLatin1(LIST_EXPORT_FILTER), QString::fromLatin1(CSV_EXPORT_FILTER)});
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.selectFile(strProposed);
    // Choosing a file type proposes the name with its extension.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog, &doc, strProposed](const QString& strFilter) {
      dialog.selectFile(strFilter == QString::fromLatin1(CSV_EXPORT_FILTER)
                            ? QFile::decodeName(QByteArray::fromStdString(ProposeCsvFileName(doc.GetTitle())))
                            : strProposed);
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return LIST_OUTPUT_ABORT;
    strPath = dialog.selectedFiles().front();
    // A name typed as *.csv means CSV whichever type stays selected.
    bCsv = dialog.selectedNameFilter() == QString::fromLatin1(CSV_EXPORT_FILTER) ||
           strPath.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive);
    if (!QFileInfo::exists(strPath)) break;
    C3ButtonsDialog question(&list);
    question.m_strTitle = QString::fromLatin1(LIST_EXPORT_TITLE);
    // The file name in any script: put in after the 8-bit text is decoded.
    question.m_strMessage =
        QString::fromLatin1(ExportFileExistsText("\x01")).replace(QChar(0x01), QFileInfo(strPath).fileName());
    question.m_strButton1 = QString::fromLatin1(LIST_EXPORT_APPEND);
    question.m_strButton2 = QString::fromLatin1(LIST_EXPORT_REPLACE);
    question.m_strButton3 = QString::fromLatin1(LIST_EXPORT_OTHER_FILE);
    question.m_nDefaultButton = IDC_BUTTON3;
    const int nAnswer = question.DoModal();
    if (nAnswer == IDC_BUTTON1 || nAnswer == IDC_BUTTON2) {
      bAppend = nAnswer == IDC_BUTTON1;
      break;
    }
  }
  QFile file(strPath);
  if (!file.open(bAppend ? QIODevice::WriteOnly | QIODevice::Append : QIODevice::WriteOnly | QIODevice::Truncate)) {
    Warn(&list, LIST_CANNOT_CREATE_FILE);
    return LIST_OUTPUT_FAILURE;
  }
  CQFileRecordSink sink(file);
  // Rows appended to a CSV file go under its header, not under a second one.
  const eListLines eLines = !bCsv ? LIST_LINES_TEXT : (bAppend && file.size() > 0 ? LIST_LINES_CSV_ROWS : LIST_LINES_CSV);
  std::string strError = WriteSelectedLines(list, sink, eLines);
  if (!file.flush() && strError.empty()) strError = EXPORT_WRITE_ERROR_TEXT;
  file.close();
  if (!strError.empty()) {
    Warn(&list, strError);
    return LIST_OUTPUT_ABORT;
  }
  return LIST_OUTPUT_OK;
}

bool CopySelection(CHistList& list, QMimeData& data, size_t nLimit) {
  // The size is known well enough from one line before anything is built: a
  // selection far beyond the limit is refused at once.
  const CHistRowText& rows = list.GetRowText();
  const CRecordSelection& selection = list.GetSelection();
  if (selection.GetCount() > 0) {
    std::string strLine = rows.GetTitleLine();
    const size_t nTitle = strLine.size() + 2;
    strLine.clear();
    try {
      rows.AppendRowLine(selection.GetFirst(), strLine);
    } catch (const CZK7Exception&) {
      // The lines below meet the failure again and report it.
    }
    const double dEstimate = static_cast<double>(nTitle) +
                             static_cast<double>(selection.GetCount()) * static_cast<double>(strLine.size() + 2);
    if (dEstimate > static_cast<double>(nLimit)) {
      Warn(&list, LIST_UNABLE_TO_COPY);
      return false;
    }
  }
  try {
    // Lines longer than the first one can still pass the limit: the sink refuses them.
    CStringRecordSink sink(nLimit);
    bool bCancelled = false;
    const std::string strError = WriteSelectedLines(list, sink, LIST_LINES_TEXT, &bCancelled);
    if (!strError.empty()) {
      Warn(&list, LIST_UNABLE_TO_COPY);
      return false;
    }
    // A copy cut short by Cancel is not a copy: the clipboard keeps what it had.
    if (bCancelled) return false;
    QByteArray bytes;
    {
      // The built text goes before its 16-bit copy is made.
      const std::string strText = sink.TakeText();
      bytes = QByteArray(strText.data(), static_cast<qsizetype>(strText.size()));
    }
    data.setText(QString::fromLatin1(bytes));
    data.setData(QString::fromLatin1(s_pszLatin1Mime), bytes);
    return true;
  } catch (const std::bad_alloc&) {
    data.clear();
    Warn(&list, LIST_UNABLE_TO_COPY);
    return false;
  }
}

sTabbedPrintJob MakeListPrintJob(CHistList& list) {
  sWaitCursor wait;
  list.RefreshMarkers();
  auto pRows = std::make_shared<const CHistRowText>(list.GetRowText());
  auto pSelection = std::make_shared<const CRecordSelection>(list.GetSelection());
  sTabbedPrintJob job;
  job.strElement = ElementTitle(list.GetFrame());
  job.strTitleLine = pRows->GetTitleLine();
  // Each column as wide as its title, its widest cell of the selection, and
  // the mark column at least two characters.
  std::vector<int> aWidths(static_cast<size_t>(pRows->GetColumnCount()), 0);
  WidenColumns(aWidths, job.strTitleLine);
  if (!aWidths.empty()) aWidths[0] = std::max(aWidths[0], 2);
  std::string strLine;
  for (const sRowBlock& b : pSelection->GetBlocks())
    for (int r = b.nFirst; r <= b.nLast; ++r) {
      strLine.clear();
      pRows->AppendRowLine(r, strLine);
      WidenColumns(aWidths, strLine);
    }
  job.aColumnPositions = ColumnPositions(aWidths);
  job.nRowCount = static_cast<int>(pSelection->GetCount());
  job.rowLine = [pRows, pSelection](int i) { return pRows->GetRowLine(pSelection->GetSelectedRow(i)); };
  const int nFirst = pSelection->GetFirst() + 1;
  const int nLast = pSelection->GetLast() + 1;
  QPointer<QWidget> pParent = &list;
  job.confirm = [nFirst, nLast, pParent](int nPages) {
    if (!PrintNeedsConfirmation(nPages)) return true;
    return QMessageBox::question(pParent, QGuiApplication::applicationDisplayName(),
                                 QString::fromLatin1(PrintRecordsQuestion(nFirst, nLast, nPages)),
                                 QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok) == QMessageBox::Ok;
  };
  return job;
}

void PrintSelectedLines(CHistList& list) {
  if (list.HasSelection()) PrintTabbedJobWithDialog(&list, MakeListPrintJob(list));
}

void PreviewSelectedLines(CHistList& list) {
  if (list.HasSelection()) PreviewTabbedJob(&list, MakeListPrintJob(list));
}

void RunHistCopyCommand(CHistFrame& frame) {
  auto* pList = qobject_cast<CHistList*>(frame.GetListPane());
  auto* pKey = qobject_cast<CHistLegend*>(frame.GetKeyPane());
  CHistGraph* pGraph = frame.GetHistGraph();
  QWidget* pFocus = frame.focusWidget();
  auto holdsFocus = [pFocus](QWidget* pPane) { return pPane && pFocus && (pPane == pFocus || pPane->isAncestorOf(pFocus)); };
  eHistPane eActive = PANE_NONE;
  if (holdsFocus(frame.GetKeyPane())) eActive = PANE_KEY;
  else if (holdsFocus(frame.GetGraphPane())) eActive = PANE_GRAPH;
  else if (holdsFocus(frame.GetListPane())) eActive = PANE_LIST;

  CHistCopyFormatDialog dialog(&frame);
  dialog.m_nChoice = PresetCopyChoice(eActive, pList && pList->HasSelection());
  if (dialog.exec() != QDialog::Accepted) return;
  switch (dialog.m_nChoice) {
    case COPY_GRAPH:
      if (pGraph) pGraph->CopyGraphToClipboard();
      break;
    case COPY_KEY:
      if (pKey) pKey->CopyKey();
      break;
    case COPY_ALL_RECORDS:
    case COPY_SELECTED_RECORDS: {
      if (!pList) break;
      if (dialog.m_nChoice == COPY_ALL_RECORDS) pList->SelectAll();
      auto pData = std::make_unique<QMimeData>();
      if (CopySelection(*pList, *pData)) QGuiApplication::clipboard()->setMimeData(pData.release());
      break;
    }
    default:
      break;
  }
}

} // namespace zk7
