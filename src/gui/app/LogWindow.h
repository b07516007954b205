// The document window of a log file: the log frame with its commands.
#pragma once
#include <QString>

namespace zk7 {

class CMdiChild;

// Reads the log file into a new window (not yet shown); nullptr with the
// message in *pstrError when the file cannot be read.
CMdiChild* CreateLogWindow(const QString& strPath, QString* pstrError);

} // namespace zk7
