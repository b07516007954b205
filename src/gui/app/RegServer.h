// Registration of the two document types with the desktop: a MIME package and a
// desktop entry in the user's data folder, so that the desktop opens *.zk and
// *.log files with this program.
#pragma once
#include <QString>

namespace zk7 {

// Writes <data>/mime/packages/zk7-mime.xml, <data>/applications/zk7.desktop (run
// strProgram) and the icon under <data>/icons, where <data> is the user's data
// folder ($XDG_DATA_HOME); then refreshes the desktop's caches with
// update-mime-database and update-desktop-database when they are installed.
// False with the reason in *pstrError when a file cannot be written.
bool RegisterFileTypes(const QString& strProgram, QString* pstrError);

} // namespace zk7
