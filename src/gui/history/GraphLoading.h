// Reads the points of the graph under the "Preparing graph" wait dialog, whose
// Cancel is looked at every 5000 records.
#pragma once
#include "history/GraphPoints.h"

class QWidget;

namespace zk7 {

class CZK7Doc;

// The records [nFirst, nLast] of every channel into pts; the dialog's owner is
// pOwner's window, disabled while it is shown.
CGraphPoints::eLoadResult LoadGraphPoints(CGraphPoints& pts, const CZK7Doc& doc, int nFirst, int nLast,
                                          double dTimeBase, int nXChannel, QWidget* pOwner);

} // namespace zk7
