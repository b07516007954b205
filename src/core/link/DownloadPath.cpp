#include "link/DownloadPath.h"

#include <QStandardPaths>
#include <QString>

#include <algorithm>
#include <cstdio>

namespace zk7 {

namespace {

bool IsControl(char c) {
  auto u = static_cast<unsigned char>(c);
  return u < 0x20 || u == 0x7F;
}

// The name as it can be shown: a NUL would cut the text short, and other
// control characters would move the cursor or ring the bell of a terminal.
std::string Printable(const std::string& str) {
  std::string out;
  for (char c : str) {
    if (c == '\0') {
      out += "\\0";
    } else if (IsControl(c)) {
      char sz[8];
      std::snprintf(sz, sizeof sz, "\\x%02X", static_cast<unsigned char>(c));
      out += sz;
    } else {
      out += c;
    }
  }
  return out;
}

} // namespace

std::string CheckModuleName(const std::string& strName, bool bDirectory) {
  bool bBad = strName == "." || strName == ".." || (strName.empty() && !bDirectory) ||
              strName.find_first_of("/\\") != std::string::npos ||
              std::any_of(strName.begin(), strName.end(), IsControl);
  if (!bBad) return {};
  return std::string("Refused ") + (bDirectory ? "directory" : "file") + " name from the module: '" +
         Printable(strName) + "'";
}

std::string CheckModuleSize(const std::string& strFile, int64_t nSize) {
  if (nSize >= 0) return {};
  return "Refused size " + std::to_string(nSize) + " of '" + Printable(strFile) + "' from the module";
}

std::filesystem::path BuildDownloadPath(const std::filesystem::path& destination, const std::string& strDevice,
                                        const std::string& strDir, const std::string& strFile,
                                        std::string& strError) {
  strError = CheckModuleName(strDevice, false);
  if (strError.empty()) strError = CheckModuleName(strDir, true);
  if (strError.empty()) strError = CheckModuleName(strFile, false);
  if (!strError.empty()) return {};
  std::filesystem::path path = destination / strDevice;
  if (!strDir.empty()) path /= strDir;
  return path / strFile;
}

std::filesystem::path DefaultDownloadDestination(const std::filesystem::path& documents,
                                                 const std::string& strAddress) {
  std::filesystem::path path = documents / "ZK7";
  if (!strAddress.empty()) path /= strAddress;
  return path;
}

std::filesystem::path UserDocumentsFolder() {
  QString str = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  std::filesystem::path path(str.toStdString());
  std::error_code ec;
  std::filesystem::create_directories(path, ec);
  return path;
}

} // namespace zk7
