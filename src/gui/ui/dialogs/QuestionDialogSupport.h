// What the two question dialogs share: applying their fields when they open and
// sizing in dialog units so that they grow with the font.
#pragma once
#include <QString>

class QCheckBox;
class QDialog;
class QLabel;
class QPushButton;
class QWidget;

namespace zk7 {

// Pixels of nUnits horizontal dialog units of the widget's font.
int DialogUnitsX(const QWidget* pWidget, int nUnits);

struct sQuestionFields {
  const QString& m_strTitle;
  const QString& m_strMessage;
  bool m_bShowCheck;
  const QString& m_strCheck;
};

// Opening steps 1 to 4: title, message, check box; the buttons are set by the caller.
void ApplyQuestionFields(QDialog* pDialog, QLabel* pMessage, QCheckBox* pCheck, const sQuestionFields& fields);
void ApplyButtonCaption(QPushButton* pButton, const QString& strCaption);

// Makes the button of nId the default one and gives it the focus once the
// opening is done; the buttons carry their id in the "controlId" property.
void FocusDefaultButton(QDialog* pDialog, int nId);

} // namespace zk7
