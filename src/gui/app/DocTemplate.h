// CZK7DocTemplate: one document type (results files or log files): its strings,
// its file filter, and the opening of a file into a maximised document window.
#pragma once
#include <QString>
#include <QStringList>

class QWidget;

namespace zk7 {

class CMainFrame;
class CMdiChild;

class CZK7DocTemplate {
public:
  // Fields of the document string, in order.
  enum eDocStringIndex { WINDOW_TITLE, DOC_NAME, FILE_NEW_NAME, FILTER_NAME, FILTER_EXT, REG_FILE_TYPE_ID,
                         REG_FILE_TYPE_NAME };

  // nIdResource: IDR_RESULTS or IDR_LOG, also the menu set of its windows.
  explicit CZK7DocTemplate(unsigned nIdResource);

  unsigned GetResourceId() const { return m_nIdResource; }
  QString GetDocString(eDocStringIndex eIndex) const;
  // True when the file name ends with the type's extension (any case).
  bool MatchesFile(const QString& strPath) const;

  // Opens the file into a new window of the main window, maximised. When the
  // file is refused, its message is shown (exclamation icon, OK) and no window
  // opens: nullptr.
  CMdiChild* OpenDocumentFile(const QString& strPath, CMainFrame* pFrame) const;
  // Another window on the document of pExisting ("New Window").
  CMdiChild* CreateNewWindow(const CMdiChild* pExisting, CMainFrame* pFrame) const;

private:
  CMdiChild* OpenResults(const QString& strPath, CMainFrame* pFrame) const;
  CMdiChild* OpenLog(const QString& strPath, CMainFrame* pFrame) const;

  unsigned m_nIdResource;
  QStringList m_aDocStrings;
};

// The message box of a refused document.
void ShowDocumentRefusal(QWidget* pParent, const QString& strMessage);

} // namespace zk7
