// Downloading files from a module: the storage categories, the listing, the
// download loop with its attempts and replace questions, and the end summary.
// The download dialog and zk7-cli download both drive CDownloadFiles.
#pragma once
#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "link/ModuleFiles.h"

namespace zk7 {

class CZK7Dev;

constexpr int ZK7_CATEGORY_COUNT = 5;
constexpr int ZK7_DOWNLOAD_ATTEMPTS = 5;
constexpr int ZK7_LIST_ATTEMPTS = 5;

struct sStorageCategory {
  const char* pszDevice;  // sent in the `device` attribute
  unsigned nNameId;       // display name in the string table
};
// In the order of listing, of the tree and of downloading.
extern const std::array<sStorageCategory, ZK7_CATEGORY_COUNT> g_aStorageCategories;
std::string CategoryDisplayName(int nCategory);

enum class eReplaceAnswer { Yes, No, YesToAll, NoToAll, Cancel };

// What the user sees and answers while the command runs.
class CDownloadObserver {
public:
  virtual ~CDownloadObserver() = default;
  virtual void SetTitle(const std::string& /*strTitle*/) {}
  virtual void SetRange(int /*nMax*/) {}
  virtual void SetPosition(int /*nPos*/) {}
  virtual void SetStatus(const std::string& /*strText*/) {}
  virtual bool IsCancelled() { return false; }
  // After each block of a file; false stops the transfer (its temporary file is removed).
  virtual bool OnBlock(int64_t /*nDone*/, int64_t /*nTotal*/) { return true; }
  // " '%s'\n\n This file already exists. Do you want to replace it ?"
  virtual eReplaceAnswer AskReplaceFile(const std::string& strLocalPath) = 0;
};

// The answers that hold for the rest of one download.
class CReplacePolicy {
public:
  enum class eDecision { Replace, Skip, Cancel };
  // Asks unless an earlier answer was "to all".
  eDecision Decide(const std::string& strLocalPath, CDownloadObserver& observer);

private:
  int m_bReplace = 0;
  int m_bToAll = 0;
};

struct sDownloadSummary {
  int nTotal = 0;         // files that arrived
  std::vector<std::string> aRefused;  // why each refused file was skipped; also in strMessage
  int nOpenable = 0;      // of them, results (".zk") and log (".log") files
  std::string strMessage; // "No file was downloaded." and the like
  std::string strQuestion;  // "Do you want to open it ?" / "... one of the loaded files ?"; empty when none
  std::filesystem::path firstOpenable;  // the first results or log file
};

class CDownloadFiles {
public:
  using Listing = std::array<std::vector<sResDir>, ZK7_CATEGORY_COUNT>;

  Listing& Categories() { return m_aCategories; }
  const Listing& Categories() const { return m_aCategories; }

  // Lists the five categories in turn, each up to five times while it fails; an
  // absent USB key or SD card (refused) stays empty. Cancel between categories
  // keeps what was listed. Returns the link's code of the failure left standing.
  int List(CZK7Dev& dev, const std::string& strAddress, CDownloadObserver& observer);

  int CountSelected() const;
  // Downloads every selected file into <destination>/<device>/<directory>/<file>;
  // bSelected then tells which files arrived. A file whose name or size from
  // the module is refused is skipped and named in the summary. Each attempt
  // after a failure logs in again and continues the file where it broke off
  // (when its listed size is unchanged). False when the download stopped:
  // strMessage holds the text to show, the first cause of the file's failure
  // (empty after a cancel).
  bool Download(CZK7Dev& dev, const std::filesystem::path& destination, CDownloadObserver& observer,
                std::string& strMessage);
  // Whether the last List or Download ended because the user cancelled.
  bool WasCancelled() const { return m_bCancelled; }
  sDownloadSummary Summarize(const std::filesystem::path& destination) const;

  static std::string ListingTitle(const std::string& strAddress);   // "Asking instrument '%s'"
  static std::string DownloadTitle(const std::string& strAddress);  // "Download files from '%s'"

private:
  bool Cancelled(CZK7Dev& dev, CDownloadObserver& observer);
  // Whether the module still lists the file with the size being downloaded.
  bool ListedSizeUnchanged(CZK7Dev& dev, const std::string& strDevice, const std::string& strDir,
                           const sFileZK7& file);

  Listing m_aCategories;
  std::vector<std::string> m_aRefused;
  bool m_bCancelled = false;
};

} // namespace zk7
