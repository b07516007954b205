// zk7-cli follow: a CFollowFile step every --interval seconds, a progress
// line per catch-up. A copy that exists already is replaced as download
// replaces a file: with --replace, or when the user answers yes on a terminal;
// without a terminal and without --replace the command refuses to start.
#include "CliFollow.h"

#include <charconv>
#include <chrono>
#include <iostream>
#include <thread>

#include <unistd.h>

#include "CliArgs.h"
#include "link/DownloadPath.h"
#include "link/ZK7Dev.h"
#include "workflows/FileSelection.h"
#include "workflows/FollowFile.h"

namespace zk7 {

namespace {

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
  if (!follow.Locate(strError)) {
    std::cerr << Latin1ToUtf8(strError) << "\n";
    return CLI_FAILURE;
  }
  // As download does: an existing copy is replaced on --replace or on the
  // user's word; without a terminal to ask, not at all.
  std::error_code ec;
  if (std::filesystem::exists(follow.LocalPath(), ec) && !args.Has("--replace")) {
    if (!isatty(STDIN_FILENO)) {
      std::cerr << "'" << follow.LocalPath().string() << "' already exists: give --replace\n";
      return CLI_FAILURE;
    }
    std::string strAnswer;
    do {
      std::cerr << ReplaceQuestionText(follow.LocalPath().string()) << "\n[y]es, [n]o: " << std::flush;
      if (!std::getline(std::cin, strAnswer)) strAnswer = "n";
    } while (strAnswer != "y" && strAnswer != "n" && !strAnswer.empty());
    if (strAnswer != "y") return CLI_FAILURE;
  }
  if (!follow.Start(strError)) {
    std::cerr << Latin1ToUtf8(strError) << "\n";
    return CLI_FAILURE;
  }
  std::cout << "Following " << Latin1ToUtf8(target.strDevice + "/" + (target.strDir.empty() ? "" : target.strDir + "/") +
                                            target.strFile)
            << " into " << follow.LocalPath().string() << std::endl;

  for (bool bFirst = true;; bFirst = false) {
    if (!bFirst) pause();
    const CFollowFile::eStep step = follow.Step(dev);
    if (step == CFollowFile::eStep::Failed) {
      if (follow.FailuresInARow() >= CFollowFile::MAX_FAILURES_IN_A_ROW)
        std::cerr << "zk7-cli follow: the module did not answer " << follow.FailuresInARow()
                  << " times in a row; the copy holds " << follow.LocalBytes() << " bytes\n";
      else
        std::cerr << Latin1ToUtf8(dev.GetLastErrorText()) << "\n";
      return CLI_FAILURE;
    }
    if (follow.LastResult() == ZK7_OK)
      std::cout << follow.ProgressLine() << std::endl;
    else
      std::cerr << "link failure, reconnecting: " << Latin1ToUtf8(dev.GetLastErrorText()) << "\n";
    if (step == CFollowFile::eStep::Finished || overtime()) break;
  }
  std::cout << "Followed " << Latin1ToUtf8(target.strFile) << ": " << follow.Records() << " records, "
            << follow.LocalBytes() << " bytes, " << follow.FetchedBytes() << " bytes fetched" << std::endl;
  // Ended by --duration right after a failed catch-up: the copy may lag the module.
  return follow.LastResult() == ZK7_OK ? CLI_OK : CLI_FAILURE;
}

} // namespace zk7
