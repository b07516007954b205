// The listing of a module's storage device: its directories and their files.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace zk7 {

struct sFileZK7 {
  std::string strName;  // with its extension
  int bSelected = 0;    // ticked for download; after a download, whether it arrived
  int32_t nSize = 0;    // bytes, as listed
};

struct sResDir {
  std::string strName;  // empty for the files at the device's top level
  std::vector<sFileZK7> aFiles;
};

} // namespace zk7
