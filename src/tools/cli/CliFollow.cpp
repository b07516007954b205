// zk7-cli follow. Catch-ups every --interval seconds: each reads the
// acquisition's state first, then fetches what the file gained. The state is
// read before the listing, so a catch-up made after "not running" holds every
// byte the module wrote, and it is the last one. A link failure reconnects and
// the next catch-up goes on; only a run of failures with no byte in between
// ends the command, so a module that is gone for good is not waited on forever.
#include "CliFollow.h"

#include <charconv>
#include <chrono>
#include <iostream>
#include <thread>

#include "CliArgs.h"
#include "link/DownloadPath.h"
#include "link/ZK7Dev.h"
#include "workflows/FollowFile.h"

namespace zk7 {

namespace {

constexpr int MAX_FAILURES_IN_A_ROW = 10;

bool ParseSeconds(const std::string& strValue, double dMin, double& d) {
  auto [p, ec] = std::from_chars(strValue.data(), strValue.data() + strValue.size(), d);
  return ec == std::errc() && p == strValue.data() + strValue.size() && d >= dMin && d <= 1e7;
}

} // namespace

int RunFollow(CZK7Dev& dev, const std::string& strAddress, const CCliArgs& args) {
  double dInterval = 1.0, dDuration = 0.0;
  if (args.Has("--interval") && !ParseSeconds(args.Value("--interval"), 0.01, dInterval)) {
    std::cerr << "zk7-cli follow: --interval needs a number of seconds from 0.01\n";
    return CLI_USAGE;
  }
  if (args.Has("--duration") && !ParseSeconds(args.Value("--duration"), 0.001, dDuration)) {
    std::cerr << "zk7-cli follow: --duration needs a positive number of seconds\n";
    return CLI_USAGE;
  }
  using clock = std::chrono::steady_clock;
  const auto interval = std::chrono::microseconds(static_cast<int64_t>(dInterval * 1e6));
  const auto start = clock::now();
  const bool bBounded = args.Has("--duration");
  const auto end = start + std::chrono::microseconds(static_cast<int64_t>(dDuration * 1e6));
  auto pause = [&] {
    auto next = clock::now() + interval;
    if (bBounded && next > end) next = end;
    std::this_thread::sleep_until(next);
  };
  auto overtime = [&] { return bBounded && clock::now() >= end; };

  sFollowTarget target;
  if (!args.Positional().empty()) {
    if (!ParseModulePath(args.Positional()[0], target)) {
      std::cerr << "zk7-cli follow: the file is DEVICE/FILE or DEVICE/DIR/FILE\n";
      return CLI_USAGE;
    }
  } else {
    // The acquisition's file is the one that grows: two listings an interval apart.
    std::vector<sFollowTarget> aBefore, aAfter;
    if (!ListResultsFiles(dev, aBefore)) {
      std::cerr << Latin1ToUtf8(dev.GetLastErrorText()) << "\n";
      return CLI_FAILURE;
    }
    for (;;) {
      pause();
      if (!ListResultsFiles(dev, aAfter)) {
        std::cerr << Latin1ToUtf8(dev.GetLastErrorText()) << "\n";
        return CLI_FAILURE;
      }
      if (PickGrowingFile(aBefore, aAfter, target)) break;
      int bRunning = 0;
      if (dev.ReadAcquisitionStatus(bRunning) != ZK7_OK) {
        std::cerr << Latin1ToUtf8(dev.GetLastErrorText()) << "\n";
        return CLI_FAILURE;
      }
      if (!bRunning) {
        std::cerr << "Acquisition is not running: no results file is being recorded.\n";
        return CLI_FAILURE;
      }
      if (overtime()) {
        std::cerr << "No results file grew within the duration.\n";
        return CLI_FAILURE;
      }
      aBefore = std::move(aAfter);
    }
  }
  const std::filesystem::path destination = args.Has("--dest")
                                                ? std::filesystem::path(args.Value("--dest"))
                                                : DefaultDownloadDestination(UserDocumentsFolder(), strAddress);
  CFollowFile follow(target, destination);
  std::string strError;
  if (!follow.Start(strError)) {
    std::cerr << Latin1ToUtf8(strError) << "\n";
    return CLI_FAILURE;
  }
  std::cout << "Following " << Latin1ToUtf8(target.strDevice + "/" + (target.strDir.empty() ? "" : target.strDir + "/") +
                                            target.strFile)
            << " into " << follow.LocalPath().string() << std::endl;

  int nFailures = 0;
  int nLast = ZK7_OK;
  for (bool bFirst = true;; bFirst = false) {
    if (!bFirst) pause();
    int bRunning = 1;
    int nResult = dev.ReadAcquisitionStatus(bRunning);
    const int64_t nBefore = follow.LocalBytes();
    if (nResult == ZK7_OK) nResult = follow.CatchUp(dev);
    else {
      const std::string strText = dev.GetLastErrorText();
      dev.Reconnect();
      dev.SetLastErrorText(strText);
    }
    // The copy's disk failing, or the file gone from the module, is not the link's: it ends the command.
    if (nResult == ZK7_ERR_LOCAL_FILE || nResult == ZK7_ERR_NO_FILE) {
      std::cerr << Latin1ToUtf8(dev.GetLastErrorText()) << "\n";
      return CLI_FAILURE;
    }
    nLast = nResult;
    if (nResult == ZK7_OK) {
      nFailures = 0;
      std::cout << follow.ProgressLine() << std::endl;
      if (!bRunning) break;
    } else {
      nFailures = follow.LocalBytes() > nBefore ? 1 : nFailures + 1;
      std::cerr << "link failure, reconnecting: " << Latin1ToUtf8(dev.GetLastErrorText()) << "\n";
      if (nFailures >= MAX_FAILURES_IN_A_ROW) {
        std::cerr << "zk7-cli follow: the module did not answer " << nFailures << " times in a row; the copy holds "
                  << follow.LocalBytes() << " bytes\n";
        return CLI_FAILURE;
      }
    }
    if (overtime()) break;
  }
  std::cout << "Followed " << Latin1ToUtf8(target.strFile) << ": " << follow.Records() << " records, "
            << follow.LocalBytes() << " bytes, " << follow.FetchedBytes() << " bytes fetched" << std::endl;
  // Ended by --duration right after a failed catch-up: the copy may lag the module.
  return nLast == ZK7_OK ? CLI_OK : CLI_FAILURE;
}

} // namespace zk7
