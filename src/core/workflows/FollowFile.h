// Following a module's acquisition: a local copy of the results file the
// module is recording, kept byte-identical to it while it grows.
//
// The module gives no notice of growth, so growth is seen by listing: the file
// to follow is the results file whose listed size grows between two listings
// (the newest by name when several do: names carry the acquisition's start).
// Each catch-up lists the file's device once and fetches only the bytes past
// the copy's length (CZK7Dev::AppendFileRange): the copy's own length is the
// resume point, so a link that fails in the middle costs a reconnect and
// at most the block it broke in is asked for again; without failures the
// bytes fetched in all equal the file's final size.
// The acquisition's state decides the end: a catch-up made after the module
// reported acquisition stopped is the last one, and the copy is then whole.
// zk7-cli follow and the application's live view both drive CFollowFile; the
// pauses between catch-ups are theirs.
#pragma once
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace zk7 {

class CZK7Dev;

struct sFollowTarget {
  std::string strDevice, strDir, strFile;
  int32_t nSize = 0;  // as last listed
};

// The storage devices that hold results files, in the order they are searched.
const std::vector<std::string>& ResultsDevices();

// Every results file (".zk") of the results devices with its listed size. A
// device that is not present is left out; false with the link's text when no
// device could be listed.
bool ListResultsFiles(CZK7Dev& dev, std::vector<sFollowTarget>& aFiles);
// Of two listings taken one after the other, the file that grew (or appeared);
// the newest by name when several did. False when none did.
bool PickGrowingFile(const std::vector<sFollowTarget>& aBefore, const std::vector<sFollowTarget>& aAfter,
                     sFollowTarget& target);
// "DEVICE/FILE" or "DEVICE/DIR/FILE"; false when neither.
bool ParseModulePath(const std::string& strPath, sFollowTarget& target);

class CFollowFile {
public:
  // The copy goes to the download path of the file under destination.
  CFollowFile(const sFollowTarget& target, const std::filesystem::path& destination);

  // Creates the copy's folder and starts the copy empty (an older copy under
  // the same name is replaced). False with strError when the path is refused
  // or cannot be written.
  bool Start(std::string& strError);
  // One catch-up: the module's size of the file, then the bytes past the copy's
  // end. A link failure reconnects (once) and returns its code; the next
  // catch-up goes on from where the copy ends. ZK7_OK when the copy holds all
  // the bytes listed.
  int CatchUp(CZK7Dev& dev);

  const sFollowTarget& Target() const { return m_target; }
  const std::filesystem::path& LocalPath() const { return m_local; }
  int64_t LocalBytes() const { return m_nLocal; }
  // Data bytes asked of the module in all, a block lost to a broken link included.
  int64_t FetchedBytes() const { return m_nFetched; }
  int64_t ModuleBytes() const { return m_target.nSize; }
  // Whole records in the copy (0 before its header and configuration arrived).
  int64_t Records() const;
  std::string ProgressLine() const;

private:
  sFollowTarget m_target;
  std::filesystem::path m_destination;
  std::filesystem::path m_local;
  int64_t m_nLocal = 0;
  int64_t m_nFetched = 0;
  // From the copy's header once it holds one.
  int64_t m_nDataOffset = -1;
  int64_t m_nRecordSize = 0;
};

} // namespace zk7
