// What the download dialog's file tree shows and how its items point back into
// the listing, and the texts of the questions the download command asks.
#pragma once
#include <string>

#include "workflows/DownloadFiles.h"

namespace zk7 {

constexpr const char* ZK7_MSG_NO_FILE_SELECTED = "Vous have not selected any file!";

// The six images of the tree, in the order of its image list.
enum eFileTreeImage : int {
  FILE_TREE_IMAGE_CATEGORY = 0,
  FILE_TREE_IMAGE_DIRECTORY = 1,
  FILE_TREE_IMAGE_RESULTS = 2,
  FILE_TREE_IMAGE_LOG = 3,
  FILE_TREE_IMAGE_XML = 4,
  FILE_TREE_IMAGE_OTHER = 5,
};
constexpr int FILE_TREE_IMAGE_COUNT = 6;

// The text from the last "." of a module file name, the whole name when it has none.
std::string ModuleFileExtension(const std::string& strName);
// Results (".zk") and log (".log") files are the ones the application opens; the
// extension is compared exactly, so "A.ZK" is neither.
bool IsResultsFileName(const std::string& strName);
bool IsLogFileName(const std::string& strName);

// The image of a file item, by its extension compared exactly.
eFileTreeImage FileTreeImage(const std::string& strName);
// "name (1234 bytes)"
std::string FileTreeItemText(const std::string& strName, int32_t nSize);

// Where a tree item points in the listing: indices from 0, -1 for the levels the
// item does not have (a category item has only nCategory). Kept as plain indices
// rather than packed into one integer so that a module with hundreds of
// directories or tens of thousands of files cannot make one item point at another.
struct sFileTreeRef {
  int nCategory = -1;
  int nDir = -1;
  int nFile = -1;

  bool IsFile() const { return nCategory >= 0 && nDir >= 0 && nFile >= 0; }
};
// The file the reference locates, or nullptr when it points outside the listing.
sFileZK7* FindListedFile(CDownloadFiles::Listing& listing, const sFileTreeRef& ref);

// " '<path>'\n\n This file already exists. Do you want to replace it ?"
std::string ReplaceQuestionText(const std::string& strLocalPath);

// The five buttons of the replace question, left to right, then Cancel: the
// results of the five-button dialog turned into the answer they stand for.
enum : int {
  REPLACE_BUTTON_YES = 1053,
  REPLACE_BUTTON_NO = 1095,
  REPLACE_BUTTON_YES_TO_ALL = 1096,
  REPLACE_BUTTON_NO_TO_ALL = 6,
  REPLACE_BUTTON_CANCEL = 1010,
};
eReplaceAnswer ReplaceAnswerFromButton(int nResult);

} // namespace zk7
