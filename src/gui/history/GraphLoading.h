// Reads the points of the graph under the "Preparing graph" wait dialog, whose
// Cancel is looked at every 5000 records.
#pragma once
#include "history/GraphPoints.h"

class QWidget;

namespace zk7 {

class CZK7Doc;

// The records [nFirst, nLast] of every channel into pts; the dialog's owner is
// pOwner's window, disabled while it is shown.
// A true *pbStop (set while events are dispatched, e.g. by a window that is
// asked to close) ends the loading like Cancel.
CGraphPoints::eLoadResult LoadGraphPoints(CGraphPoints& pts, const CZK7Doc& doc, int nFirst, int nLast,
                                          double dTimeBase, int nXChannel, QWidget* pOwner,
                                          const bool* pbStop = nullptr);

} // namespace zk7
