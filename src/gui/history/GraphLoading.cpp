// The graph's point loading with progress and Cancel.
#include "history/GraphLoading.h"

#include <cstdio>

#include "strings/StringTable.h"
#include "ui/dialogs/WaitDialog.h"

namespace zk7 {

CGraphPoints::eLoadResult LoadGraphPoints(CGraphPoints& pts, const CZK7Doc& doc, int nFirst, int nLast,
                                          double dTimeBase, int nXChannel, QWidget* pOwner,
                                          const bool* pbStop) {
  const int nCount = nLast >= nFirst ? nLast - nFirst + 1 : 0;
  CWaitDialog dlg(IDS_PREPARING_GRAPH);
  dlg.Create(pOwner);
  dlg.SetRange(0, nCount);
  dlg.SetStep(1);
  char buf[32];
  std::snprintf(buf, sizeof buf, "%ld ", static_cast<long>(nCount));
  dlg.SetStatusText(QString::fromLatin1(buf + LoadString(IDS_RECORDS)));
  const CGraphPoints::eLoadResult e = pts.Load(doc, nFirst, nLast, dTimeBase, nXChannel, [&dlg, pbStop](int nDone) {
    dlg.PumpMessages();
    if (dlg.CheckCancel() || (pbStop && *pbStop)) return false;
    dlg.SetPos(nDone);
    return true;
  });
  dlg.DestroyWindow();
  return e;
}

} // namespace zk7
