// The "Download files" dialog: the module's files in a tree of categories and
// directories with check boxes, and the destination folder.
#pragma once
#include <QDialog>
#include <QEvent>
#include <QIcon>
#include <QString>
#include <QStringList>
#include <vector>

#include "workflows/DownloadFiles.h"
#include "workflows/FileSelection.h"

class QLineEdit;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace zk7 {

// Posted after the tree has toggled an item's mark, so that the new mark reaches
// the item's descendants and ancestors once the tree is done with the click.
class CPropagateCheckEvent : public QEvent {
public:
  static const QEvent::Type TYPE = static_cast<QEvent::Type>(QEvent::User + 100);
  explicit CPropagateCheckEvent(QTreeWidgetItem* pItem) : QEvent(TYPE), m_pItem(pItem) {}
  QTreeWidgetItem* m_pItem;
};

class CDlgFilesSel : public QDialog {
  Q_OBJECT
public:
  // Tree item data roles: the item's sFileTreeRef parts and its image number.
  enum : int {
    ROLE_CATEGORY = Qt::UserRole,
    ROLE_DIR,
    ROLE_FILE,
    ROLE_IMAGE,
  };

  explicit CDlgFilesSel(QWidget* pParent = nullptr);

  QString m_strDestDir;
  QString m_strTitle;
  int m_nCategories = ZK7_CATEGORY_COUNT;
  QStringList m_astrCategoryNames;
  CDownloadFiles* m_pCategories = nullptr;  // the listing, its marks edited in place; not owned

  int exec() override;
  void accept() override;

  QTreeWidget* Tree() const { return m_pTree; }
  QLineEdit* DestinationEdit() const { return m_pDest; }
  static sFileTreeRef ItemRef(const QTreeWidgetItem* pItem);

  void FillTree();
  void ExpandAll();
  // Copies the marks of the file items into the listing's bSelected flags.
  void SaveChecks();
  void SetCheckTree(QTreeWidgetItem* pItem, Qt::CheckState state, bool bClearAncestors, bool bRecurse);

public slots:
  void OnCheckAll();
  void OnCheckNone();
  void OnBrowse();

protected:
  void customEvent(QEvent* pEvent) override;

private:
  void OnItemChanged(QTreeWidgetItem* pItem, int nColumn);
  QTreeWidgetItem* AddItem(QTreeWidgetItem* pParent, const QString& strText, eFileTreeImage image,
                           const sFileTreeRef& ref, bool bChecked, bool bBold);

  QTreeWidget* m_pTree = nullptr;
  QLineEdit* m_pDest = nullptr;
  QToolButton* m_pCheckAll = nullptr;
  QToolButton* m_pCheckNone = nullptr;
  std::vector<QIcon> m_aImages;
  int m_nSettingMarks = 0;  // marks set by the dialog itself are not clicks
};

} // namespace zk7
