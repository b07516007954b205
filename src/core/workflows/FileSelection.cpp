#include "workflows/FileSelection.h"

#include <cstdio>

namespace zk7 {

std::string ModuleFileExtension(const std::string& strName) {
  size_t nDot = strName.rfind('.');
  return nDot == std::string::npos ? strName : strName.substr(nDot);
}

bool IsResultsFileName(const std::string& strName) {
  return ModuleFileExtension(strName) == ".zk";
}

bool IsLogFileName(const std::string& strName) {
  return ModuleFileExtension(strName) == ".log";
}

eFileTreeImage FileTreeImage(const std::string& strName) {
  const std::string strExt = ModuleFileExtension(strName);
  if (strExt == ".zk") return FILE_TREE_IMAGE_RESULTS;
  if (strExt == ".log") return FILE_TREE_IMAGE_LOG;
  if (strExt == ".xml") return FILE_TREE_IMAGE_XML;
  return FILE_TREE_IMAGE_OTHER;
}

std::string FileTreeItemText(const std::string& strName, int32_t nSize) {
  char sz[40];
  std::snprintf(sz, sizeof sz, " (%d bytes)", static_cast<int>(nSize));
  return strName + sz;
}

sFileZK7* FindListedFile(CDownloadFiles::Listing& listing, const sFileTreeRef& ref) {
  if (!ref.IsFile() || ref.nCategory >= static_cast<int>(listing.size())) return nullptr;
  auto& aDirs = listing[static_cast<size_t>(ref.nCategory)];
  if (ref.nDir >= static_cast<int>(aDirs.size())) return nullptr;
  auto& aFiles = aDirs[static_cast<size_t>(ref.nDir)].aFiles;
  if (ref.nFile >= static_cast<int>(aFiles.size())) return nullptr;
  return &aFiles[static_cast<size_t>(ref.nFile)];
}

std::string ReplaceQuestionText(const std::string& strLocalPath) {
  return " '" + strLocalPath + "'\n\n This file already exists. Do you want to replace it ?";
}

eReplaceAnswer ReplaceAnswerFromButton(int nResult) {
  switch (nResult) {
  case REPLACE_BUTTON_YES: return eReplaceAnswer::Yes;
  case REPLACE_BUTTON_NO: return eReplaceAnswer::No;
  case REPLACE_BUTTON_YES_TO_ALL: return eReplaceAnswer::YesToAll;
  case REPLACE_BUTTON_NO_TO_ALL: return eReplaceAnswer::NoToAll;
  default: return eReplaceAnswer::Cancel;  // the fifth button, Escape and the close box alike
  }
}

} // namespace zk7
