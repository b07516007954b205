// For the instrument tests: the connect and selection dialogs answered as a
// user does.
#pragma once

#include "ModalAnswerer.h"
#include "ResultsFileBuilder.h"
#include "SimProcess.h"
#include "ui/dialogs/WaitDialog.h"
#include "workflows/DlgFilesSel.h"
#include "workflows/EditCommDlg.h"

namespace zk7 {

// The item at a path of texts from the top of the tree; null when there is none.
inline QTreeWidgetItem* FindItem(QTreeWidget* pTree, const QStringList& path) {
  QTreeWidgetItem* pFound = pTree->invisibleRootItem();
  for (const QString& strText : path) {
    QTreeWidgetItem* pParent = std::exchange(pFound, nullptr);
    for (int i = 0; i < pParent->childCount() && !pFound; ++i)
      if (pParent->child(i)->text(0) == strText) pFound = pParent->child(i);
    if (!pFound) return nullptr;
  }
  return pFound;
}

// Fills the connect dialog with the simulator's user (nPort > 0: that port too) and clicks OK.
inline CModalAnswerer::Step LoginStep(CModalAnswerer& user, const QString& strPassword = QLatin1String(CModuleSim::kPassword),
                                      int nPort = 0) {
  return [&user, strPassword, nPort](QWidget* pModal) {
    auto* pDlg = qobject_cast<CEditCommDlg*>(pModal);
    if (!pDlg) return user.Fail("expected the connect dialog, got " + GetDialogText(pModal));
    if (nPort > 0) pDlg->findChild<QLineEdit*>("port")->setText(QString::number(nPort));
    pDlg->findChild<QLineEdit*>("address")->setText("127.0.0.1");
    pDlg->findChild<QLineEdit*>("user")->setText(QLatin1String(CModuleSim::kUser));
    pDlg->findChild<QLineEdit*>("password")->setText(strPassword);
    user.Click(pDlg, "OK");
  };
}

// Ticks the items at the given paths, as a click on their check boxes does, then clicks "Download".
inline CModalAnswerer::Step SelectStep(CModalAnswerer& user, const std::vector<QStringList>& aPaths,
                                       std::function<void(CDlgFilesSel*)> fnMeanwhile = {}) {
  return [&user, aPaths, fnMeanwhile](QWidget* pModal) {
    auto* pDlg = qobject_cast<CDlgFilesSel*>(pModal);
    if (!pDlg) return user.Fail("expected the selection dialog, got " + GetDialogText(pModal));
    if (fnMeanwhile) fnMeanwhile(pDlg);
    for (const QStringList& path : aPaths) {
      QTreeWidgetItem* pItem = FindItem(pDlg->Tree(), path);
      user.Check(pItem != nullptr, "no item " + path.join(QLatin1Char('/')));
      if (pItem) pItem->setCheckState(0, Qt::Checked);
    }
    QCoreApplication::sendPostedEvents(pDlg);  // the dialog spreads the marks
    user.Click(pDlg, "Download");
  };
}

} // namespace zk7
