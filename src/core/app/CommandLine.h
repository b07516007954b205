// The application's command line: the file to open and the file-type registration request.
#pragma once
#include <string>
#include <vector>

namespace zk7 {

struct sAppCommandLine {
  bool m_bRegServer = false;   // register the file types, then end without a window
  std::string m_strFile;       // the document to open; empty for none
};

// aArgs are the arguments after the program name. The registration request is
// the word "RegServer" (any case) standing after "-", "/" or a blank; an
// argument that names an existing file or folder is a path, never a request,
// since "/" separates this platform's folders. The first argument that does not
// start with "-" is the file to open; the other switches are ignored.
sAppCommandLine ParseAppCommandLine(const std::vector<std::string>& aArgs);

// True when the raw text holds the token "RegServer" (any case) once split at
// every "-", "/" and blank.
bool HasRegServerToken(const std::string& strRaw);

} // namespace zk7
