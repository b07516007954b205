// For the instrument workflow tests: items of the file tree.
#pragma once
#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QVariant>
#include <QTreeWidget>
#include <QWidget>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "ModalAnswerer.h"
#include "ResultsFileBuilder.h"
#include "SimProcess.h"

namespace zk7 {

inline QTreeWidgetItem* FindChildItem(QTreeWidgetItem* pParent, const QString& strText) {
  for (int i = 0; i < pParent->childCount(); ++i)
    if (pParent->child(i)->text(0) == strText) return pParent->child(i);
  return nullptr;
}

inline QTreeWidgetItem* FindTopItem(QTreeWidget* pTree, const QString& strText) {
  for (int i = 0; i < pTree->topLevelItemCount(); ++i)
    if (pTree->topLevelItem(i)->text(0) == strText) return pTree->topLevelItem(i);
  return nullptr;
}

} // namespace zk7
