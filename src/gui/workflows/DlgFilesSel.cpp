#include "workflows/DlgFilesSel.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QToolButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>

#include "strings/StringTable.h"

namespace zk7 {

namespace {

// A 16 by 16 image from the style, with a coloured letter in its lower right
// corner that tells the kinds of files apart.
QIcon BadgedIcon(const QIcon& base, QChar cLetter, const QColor& colour) {
  QPixmap pixmap = base.pixmap(16, 16);
  if (pixmap.isNull()) {
    pixmap = QPixmap(16, 16);
    pixmap.fill(Qt::transparent);
  }
  if (!cLetter.isNull()) {
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawRoundedRect(QRectF(6, 6, 10, 10), 2, 2);
    QFont font = painter.font();
    font.setPixelSize(9);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRectF(6, 6, 10, 10), Qt::AlignCenter, QString(cLetter));
  }
  return QIcon(pixmap);
}

std::vector<QIcon> TreeImages(const QStyle* pStyle) {
  std::vector<QIcon> a(FILE_TREE_IMAGE_COUNT);
  const QIcon file = pStyle->standardIcon(QStyle::SP_FileIcon);
  a[FILE_TREE_IMAGE_CATEGORY] = BadgedIcon(pStyle->standardIcon(QStyle::SP_DriveHDIcon), QChar(), {});
  a[FILE_TREE_IMAGE_DIRECTORY] = BadgedIcon(pStyle->standardIcon(QStyle::SP_DirIcon), QChar(), {});
  a[FILE_TREE_IMAGE_RESULTS] = BadgedIcon(file, QLatin1Char('Z'), QColor(0, 110, 190));
  a[FILE_TREE_IMAGE_LOG] = BadgedIcon(file, QLatin1Char('L'), QColor(200, 120, 0));
  a[FILE_TREE_IMAGE_XML] = BadgedIcon(file, QLatin1Char('X'), QColor(40, 150, 60));
  a[FILE_TREE_IMAGE_OTHER] = BadgedIcon(file, QChar(), {});
  return a;
}

// The style's own check box, ticked or not, as the image of the two check buttons.
QIcon CheckBoxIcon(QWidget* pWidget, bool bChecked) {
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  QStyleOptionButton option;
  option.initFrom(pWidget);
  option.rect = QRect(1, 1, 14, 14);
  option.state = QStyle::State_Enabled | (bChecked ? QStyle::State_On : QStyle::State_Off);
  pWidget->style()->drawPrimitive(QStyle::PE_IndicatorCheckBox, &option, &painter, pWidget);
  return QIcon(pixmap);
}

} // namespace

CDlgFilesSel::CDlgFilesSel(QWidget* pParent) : QDialog(pParent) {
  setWindowTitle(QStringLiteral("Download files"));

  m_pTree = new QTreeWidget(this);
  m_pTree->setHeaderHidden(true);
  m_pTree->setColumnCount(1);
  m_pTree->setRootIsDecorated(true);
  m_pTree->setSelectionMode(QAbstractItemView::SingleSelection);
  m_pTree->setIconSize(QSize(16, 16));
  m_pTree->setMinimumSize(460, 340);
  connect(m_pTree, &QTreeWidget::itemChanged, this, &CDlgFilesSel::OnItemChanged);

  auto* pButtons = new QDialogButtonBox(Qt::Vertical, this);
  QPushButton* pDownload = pButtons->addButton(QStringLiteral("Download"), QDialogButtonBox::AcceptRole);
  pDownload->setDefault(true);
  pButtons->addButton(QDialogButtonBox::Cancel);
  connect(pButtons, &QDialogButtonBox::accepted, this, &CDlgFilesSel::accept);
  connect(pButtons, &QDialogButtonBox::rejected, this, &CDlgFilesSel::reject);

  m_pCheckAll = new QToolButton(this);
  m_pCheckAll->setText(QStringLiteral("Check All"));
  m_pCheckAll->setToolTip(m_pCheckAll->text());
  m_pCheckAll->setIcon(CheckBoxIcon(this, true));
  connect(m_pCheckAll, &QToolButton::clicked, this, &CDlgFilesSel::OnCheckAll);
  m_pCheckNone = new QToolButton(this);
  m_pCheckNone->setText(QStringLiteral("Check None"));
  m_pCheckNone->setToolTip(m_pCheckNone->text());
  m_pCheckNone->setIcon(CheckBoxIcon(this, false));
  connect(m_pCheckNone, &QToolButton::clicked, this, &CDlgFilesSel::OnCheckNone);

  m_pDest = new QLineEdit(this);
  m_pDest->setObjectName(QStringLiteral("destination"));
  auto* pBrowse = new QPushButton(QStringLiteral("..."), this);
  pBrowse->setAutoDefault(false);
  pBrowse->setMaximumWidth(32);
  connect(pBrowse, &QPushButton::clicked, this, &CDlgFilesSel::OnBrowse);

  auto* pSide = new QVBoxLayout;
  pSide->addWidget(pButtons);
  pSide->addStretch(1);
  auto* pChecks = new QHBoxLayout;
  pChecks->addWidget(m_pCheckAll);
  pChecks->addWidget(m_pCheckNone);
  pSide->addLayout(pChecks);

  auto* pGrid = new QGridLayout(this);
  pGrid->addWidget(new QLabel(QStringLiteral("Select files to download:"), this), 0, 0);
  pGrid->addWidget(m_pTree, 1, 0);
  pGrid->addLayout(pSide, 1, 1);
  pGrid->addWidget(new QLabel(QStringLiteral("Destination directory:"), this), 2, 0);
  auto* pDestRow = new QHBoxLayout;
  pDestRow->addWidget(m_pDest, 1);
  pDestRow->addWidget(pBrowse);
  pGrid->addLayout(pDestRow, 3, 0);

  m_aImages = TreeImages(style());
}

int CDlgFilesSel::exec() {
  if (!m_strTitle.isEmpty()) setWindowTitle(m_strTitle);
  m_pDest->setText(m_strDestDir);
  FillTree();
  m_pTree->setFocus();
  return QDialog::exec();
}

sFileTreeRef CDlgFilesSel::ItemRef(const QTreeWidgetItem* pItem) {
  sFileTreeRef ref;
  ref.nCategory = pItem->data(0, ROLE_CATEGORY).toInt();
  ref.nDir = pItem->data(0, ROLE_DIR).toInt();
  ref.nFile = pItem->data(0, ROLE_FILE).toInt();
  return ref;
}

QTreeWidgetItem* CDlgFilesSel::AddItem(QTreeWidgetItem* pParent, const QString& strText, eFileTreeImage image,
                                       const sFileTreeRef& ref, bool bChecked, bool bBold) {
  auto* pItem = pParent ? new QTreeWidgetItem(pParent) : new QTreeWidgetItem(m_pTree);
  pItem->setText(0, strText);
  pItem->setIcon(0, m_aImages[static_cast<size_t>(image)]);
  pItem->setData(0, ROLE_CATEGORY, ref.nCategory);
  pItem->setData(0, ROLE_DIR, ref.nDir);
  pItem->setData(0, ROLE_FILE, ref.nFile);
  pItem->setData(0, ROLE_IMAGE, static_cast<int>(image));
  pItem->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
  pItem->setCheckState(0, bChecked ? Qt::Checked : Qt::Unchecked);
  if (bBold) {
    QFont font = pItem->font(0);
    font.setBold(true);
    pItem->setFont(0, font);
  }
  return pItem;
}

void CDlgFilesSel::FillTree() {
  ++m_nSettingMarks;
  m_pTree->clear();
  for (int k = 0; k < m_nCategories && m_pCategories; ++k) {
    const QString strName = k < m_astrCategoryNames.size() ? m_astrCategoryNames[k] : QString();
    QTreeWidgetItem* pCategory = AddItem(nullptr, strName, FILE_TREE_IMAGE_CATEGORY, {k, -1, -1}, false, true);
    const auto& aDirs = m_pCategories->Categories()[static_cast<size_t>(k)];
    for (size_t d = 0; d < aDirs.size(); ++d) {
      const sResDir& dir = aDirs[d];
      QTreeWidgetItem* pParent = pCategory;
      if (!dir.strName.empty())
        pParent = AddItem(pCategory, QString::fromLatin1(dir.strName), FILE_TREE_IMAGE_DIRECTORY,
                          {k, static_cast<int>(d), -1}, false, true);
      for (size_t f = 0; f < dir.aFiles.size(); ++f) {
        const sFileZK7& file = dir.aFiles[f];
        AddItem(pParent, QString::fromLatin1(FileTreeItemText(file.strName, file.nSize)), FileTreeImage(file.strName),
                {k, static_cast<int>(d), static_cast<int>(f)}, file.bSelected != 0, false);
      }
    }
  }
  --m_nSettingMarks;
  ExpandAll();
}

void CDlgFilesSel::ExpandAll() {
  for (QTreeWidgetItemIterator it(m_pTree); *it; ++it)
    if ((*it)->childCount() > 0) (*it)->setExpanded(true);
}

void CDlgFilesSel::SaveChecks() {
  if (!m_pCategories) return;
  for (QTreeWidgetItemIterator it(m_pTree); *it; ++it) {
    const int nImage = (*it)->data(0, ROLE_IMAGE).toInt();
    if (nImage == FILE_TREE_IMAGE_CATEGORY || nImage == FILE_TREE_IMAGE_DIRECTORY) continue;
    if (sFileZK7* pFile = FindListedFile(m_pCategories->Categories(), ItemRef(*it)))
      pFile->bSelected = (*it)->checkState(0) == Qt::Checked ? 1 : 0;
  }
}

void CDlgFilesSel::SetCheckTree(QTreeWidgetItem* pItem, Qt::CheckState state, bool bClearAncestors, bool bRecurse) {
  if (!pItem) return;
  ++m_nSettingMarks;
  if (pItem->checkState(0) != state) pItem->setCheckState(0, state);
  if (bRecurse)
    for (int i = 0; i < pItem->childCount(); ++i) SetCheckTree(pItem->child(i), state, false, true);
  // Ticking every child does not tick the parent; clearing one clears them all the way up.
  if (state == Qt::Unchecked && bClearAncestors)
    for (QTreeWidgetItem* p = pItem->parent(); p; p = p->parent())
      if (p->checkState(0) != Qt::Unchecked) p->setCheckState(0, Qt::Unchecked);
  --m_nSettingMarks;
}

void CDlgFilesSel::OnItemChanged(QTreeWidgetItem* pItem, int nColumn) {
  if (m_nSettingMarks > 0 || nColumn != 0) return;
  QCoreApplication::postEvent(this, new CPropagateCheckEvent(pItem));
}

void CDlgFilesSel::customEvent(QEvent* pEvent) {
  if (pEvent->type() != CPropagateCheckEvent::TYPE) {
    QDialog::customEvent(pEvent);
    return;
  }
  QTreeWidgetItem* pItem = static_cast<CPropagateCheckEvent*>(pEvent)->m_pItem;
  // The tree may have been filled again since the event was posted.
  for (QTreeWidgetItemIterator it(m_pTree); *it; ++it) {
    if (*it == pItem) {
      SetCheckTree(pItem, pItem->checkState(0), true, true);
      return;
    }
  }
}

void CDlgFilesSel::OnCheckAll() {
  for (int i = 0; i < m_pTree->topLevelItemCount(); ++i)
    SetCheckTree(m_pTree->topLevelItem(i), Qt::Checked, false, true);
}

void CDlgFilesSel::OnCheckNone() {
  for (int i = 0; i < m_pTree->topLevelItemCount(); ++i)
    SetCheckTree(m_pTree->topLevelItem(i), Qt::Unchecked, false, true);
}

void CDlgFilesSel::OnBrowse() {
  // The destination is often not made yet: the browser opens at its nearest existing folder.
  QString strStart = m_pDest->text();
  while (!strStart.isEmpty() && !QFileInfo(strStart).isDir()) {
    const QString strParent = QFileInfo(strStart).path();
    strStart = strParent == strStart ? QString() : strParent;
  }
  QFileDialog dialog(this, QStringLiteral("Select destination directory:"), strStart);
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly, true);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
  m_strDestDir = dialog.selectedFiles().constFirst();
  m_pDest->setText(m_strDestDir);
}

void CDlgFilesSel::accept() {
  SaveChecks();
  if (!m_pCategories || m_pCategories->CountSelected() == 0) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(LoadString(IDS_APP_TITLE)),
                    QString::fromLatin1(ZK7_MSG_NO_FILE_SELECTED), QMessageBox::Ok, this);
    box.exec();
    return;
  }
  m_strDestDir = m_pDest->text();
  QDialog::accept();
}

} // namespace zk7
