// Where a module file lands on disk. Names that come from a module are data,
// not paths: one holding a separator or a control character (NUL included), or
// equal to "." or "..", is refused.
#pragma once
#include <cstdint>
#include <filesystem>
#include <string>

namespace zk7 {

// Empty when strName may be used as one path component; else why not. An empty
// name is allowed only for a directory (the device's top level).
std::string CheckModuleName(const std::string& strName, bool bDirectory);
// Empty when the listed size can be transferred; else why not.
std::string CheckModuleSize(const std::string& strFile, int64_t nSize);

// <destination>/<device>/<directory>/<file>, no directory level for the unnamed
// directory; empty path with strError set when a name is refused.
std::filesystem::path BuildDownloadPath(const std::filesystem::path& destination, const std::string& strDevice,
                                        const std::string& strDir, const std::string& strFile,
                                        std::string& strError);

// <documents folder>/ZK7/<address>, the address left out when empty.
std::filesystem::path DefaultDownloadDestination(const std::filesystem::path& documents,
                                                 const std::string& strAddress);
// The user's documents folder, created when missing.
std::filesystem::path UserDocumentsFolder();

} // namespace zk7
