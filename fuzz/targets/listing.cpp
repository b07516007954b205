// A directory listing answered by a module, and where each listed file would
// land: every path the builder accepts stays inside the destination, one level
// per device and directory, with the module's name as its last component.
#include <tinyxml.h>

#include <filesystem>

#include "FuzzSupport.h"
#include "link/DirectoryListing.h"
#include "link/DownloadPath.h"
#include "link/Protocol.h"
#include "link/ResponseParser.h"
#include "xml/XmlGuard.h"

using namespace zk7;
namespace fs = std::filesystem;

namespace {

const char* const DEVICES[] = {ZK7_DEVICE_CONFIGS, ZK7_DEVICE_LOGS, ZK7_DEVICE_INTERNAL, ZK7_DEVICE_USB,
                               ZK7_DEVICE_SDCARD};

void CheckPath(const fs::path& destination, const std::string& strDevice, const sResDir& dir, const sFileZK7& file) {
  std::string strError;
  const fs::path path = BuildDownloadPath(destination, strDevice, dir.strName, file.strName, strError);
  const bool bNamesOk = CheckModuleName(dir.strName, true).empty() && CheckModuleName(file.strName, false).empty();
  ZK7_FUZZ_CHECK(path.empty() != bNamesOk, "the builder and the name check disagree on '" + file.strName + "'");
  ZK7_FUZZ_CHECK(path.empty() == !strError.empty(), "a refusal without a reason, or a reason with a path");
  CheckModuleSize(file.strName, file.nSize);
  if (path.empty()) return;
  const fs::path expected = dir.strName.empty() ? destination / strDevice / file.strName
                                                : destination / strDevice / dir.strName / file.strName;
  ZK7_FUZZ_CHECK(path == expected, "'" + path.string() + "' is not where the file belongs");
  ZK7_FUZZ_CHECK(path.lexically_normal() == path && path.filename() == file.strName,
                 "'" + path.string() + "' leaves its folder");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
  if (nSize < 1) return 0;
  const std::string strDevice = DEVICES[pData[0] % 5];
  TiXmlDocument doc;
  std::string strError;
  if (!ParseUntrustedXml(doc, fuzz::ExpandText(pData + 1, nSize - 1), strError)) return 0;
  if (CheckResponseStatus(doc, strError) != ZK7_OK) return 0;
  std::vector<sResDir> aDirs;
  ReadDirectoryListing(doc, aDirs);
  const fs::path destination = "/home/user/Documents/ZK7/127.0.0.1";
  for (const sResDir& dir : aDirs)
    for (const sFileZK7& file : dir.aFiles) CheckPath(destination, strDevice, dir, file);
  return 0;
}
