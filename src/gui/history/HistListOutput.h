// The record list's outputs: export of the selected lines to a text file,
// their copy to the clipboard, their printout and preview, and the history
// window's copy command with its dialog.
#pragma once
#include <cstddef>
#include <string>

#include "history/PagePrinter.h"

class QMimeData;

namespace zk7 {

class CHistFrame;
class CHistList;
class IRecordSink;

enum : int { LIST_OUTPUT_OK = 0, LIST_OUTPUT_FAILURE = -1, LIST_OUTPUT_ABORT = -2 };

// What the lines are: the list's TAB text, CSV, or CSV rows without their
// header (appended to a CSV file that has one).
enum eListLines { LIST_LINES_TEXT, LIST_LINES_CSV, LIST_LINES_CSV_ROWS };

// "&Export selected lines...": the save dialog (text in columns, or CSV), the
// append/replace question, the lines; LIST_OUTPUT_OK, _FAILURE (nothing selected, file not created) or
// _ABORT (dialog cancelled, write error).
int ExportSelection(CHistList& list);
// The title line and the selected rows, in row order, into sink, under the wait
// dialog ("Exporting records"), asked for Cancel every 64 rows. An empty text,
// or the text of the error.
// eLines chooses the record list's text or CSV; *pbCancelled tells whether
// Cancel stopped the lines.
std::string WriteSelectedLines(CHistList& list, IRecordSink& sink, eListLines eLines = LIST_LINES_TEXT,
                               bool* pbCancelled = nullptr);

// The clipboard text is held whole in memory, and once more as the clipboard's
// own copy: a selection whose text would pass this size is refused.
inline constexpr size_t COPY_TEXT_LIMIT = size_t{64} << 20;
// The lines of the selection as the clipboard carries them; false when they
// cannot be built (after "Unable to copy data"), and
// false without a message when Cancel stopped them. data is only filled on success.
bool CopySelection(CHistList& list, QMimeData& data, size_t nLimit = COPY_TEXT_LIMIT);

// The printout of the selected rows as the list shows them, with the question
// asked before printing more than three pages.
sTabbedPrintJob MakeListPrintJob(CHistList& list);
void PrintSelectedLines(CHistList& list);
void PreviewSelectedLines(CHistList& list);

// "Co&py": the copy dialog preset from the active pane, then the graph, the key,
// the selected records or all records to the clipboard.
void RunHistCopyCommand(CHistFrame& frame);

} // namespace zk7
