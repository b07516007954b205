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
// The acquisition's state decides the end: each step reads it before it lists
// the file, so a step made after "not running" holds every byte the module
// wrote; it is the last one, and the copy is then whole. A link failure reconnects and the next step goes on; only a run of
// failures with no byte in between ends the following, so a module that is
// gone for good is not waited on forever. The copy's disk failing, or the file
// gone from the module, is not the link's: it ends the following at once.
// zk7-cli follow and the application's live view both drive CFollowFile::Step;
// the pauses between steps are theirs (the CLI sleeps, the live view's link
// thread waits on its cancel flag). A copy that exists already is replaced
// only on the user's word (Locate first, then ask, then Start).
#pragma once
#include <cstdint>
#include <filesystem>
#include <memory>
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
// Of two listings taken one after the other, the files that grew (or
// appeared), the newest by name first.
std::vector<sFollowTarget> GrowingFiles(const std::vector<sFollowTarget>& aBefore,
                                        const std::vector<sFollowTarget>& aAfter);
// The first of those; false when none grew.
bool PickGrowingFile(const std::vector<sFollowTarget>& aBefore, const std::vector<sFollowTarget>& aAfter,
                     sFollowTarget& target);
// Listings nIntervalMs apart, at most nListings of them, until some file grows
// or the module reports acquisition stopped: aAll holds the last listing,
// aGrown what grew in it (newest first; empty when nothing did). The pauses
// end at once on the link's cancel. False with the link's text on a failure.
bool FindGrowingFiles(CZK7Dev& dev, int nIntervalMs, int nListings, std::vector<sFollowTarget>& aAll,
                      std::vector<sFollowTarget>& aGrown);
// The pause between two steps: nMs, cut short when the link's cancel is asked
// for (looked at every 10 ms); false when it was.
bool PauseUnlessCancelled(const CZK7Dev& dev, int nMs);
// "DEVICE/FILE" or "DEVICE/DIR/FILE"; false when neither.
bool ParseModulePath(const std::string& strPath, sFollowTarget& target);

class CFollowFile {
public:
  // The copy goes to the download path of the file under destination.
  CFollowFile(const sFollowTarget& target, const std::filesystem::path& destination);

  // The copy's path by the download path rules; false with strError when the
  // module's names are refused.
  bool Locate(std::string& strError);
  // Creates the copy's folder and starts the copy empty (an older copy under
  // the same name is replaced: ask first). False with strError when the path
  // is refused or cannot be written, or another follower holds the copy.
  bool Start(std::string& strError);
  // One catch-up: the module's size of the file, then the bytes past the copy's
  // end. A link failure reconnects (once) and returns its code; the next
  // catch-up goes on from where the copy ends. ZK7_OK when the copy holds all
  // the bytes listed.
  int CatchUp(CZK7Dev& dev);

  // Whether following goes on after a step.
  enum class eStep { Continue, Finished, Failed };
  static constexpr int MAX_FAILURES_IN_A_ROW = 10;
  // The acquisition's state, then a catch-up. Failed: the copy's disk, the file
  // gone from the module, or MAX_FAILURES_IN_A_ROW link failures with no byte
  // between them (the text in dev.GetLastErrorText()). Finished: a whole copy
  // after acquisition stopped.
  eStep Step(CZK7Dev& dev);
  // The result of the last step (ZK7_OK, or the link's failure it went on after).
  int LastResult() const { return m_nLastResult; }
  int FailuresInARow() const { return m_nFailures; }

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
  int m_nLastResult = 0;
  int m_nFailures = 0;
  // The copy's lock, held from Start on by this object and its copies: a second
  // follower of the same copy, in this process or another, is refused instead
  // of writing into it.
  std::shared_ptr<const int> m_pLock;
};

// What the status bar says of a live view: short, the last record's date and
// time as the user types them (left out while dLastTime is NaN).
enum class eLiveState { Starting, Following, Reconnecting, Stopped, Failed };
std::string LiveStatusText(eLiveState state, int64_t nRecords, double dLastTime, const std::string& strError = {});

} // namespace zk7
