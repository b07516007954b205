#include "CliInstrument.h"

#include <fnmatch.h>
#include <termios.h>
#include <unistd.h>

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "CliArgs.h"
#include "CliFollow.h"
#include "format/NumberScan.h"
#include "link/DownloadPath.h"
#include "link/ZK7Dev.h"
#include "workflows/DownloadFiles.h"
#include "workflows/FileSelection.h"
#include "workflows/SendConfiguration.h"

namespace zk7 {

namespace {

const char* const kCommands[] = {"list", "download", "send-config", "status", "start", "stop", "follow"};

int Fail(const std::string& strText) {
  std::cerr << Latin1ToUtf8(strText) << "\n";
  return CLI_FAILURE;
}

// The password never comes from the command line, where other users can read it.
bool ReadPassword(const CCliArgs& args, std::string& strPassword, std::string& strError) {
  if (args.Has("--password-file")) {
    std::ifstream in(args.Value("--password-file"), std::ios::binary);
    if (!in) {
      strError = "cannot read the password file '" + args.Value("--password-file") + "'";
      return false;
    }
    std::getline(in, strPassword);
    if (!strPassword.empty() && strPassword.back() == '\r') strPassword.pop_back();
    return true;
  }
  if (const char* psz = std::getenv("ZK7_PASSWORD")) {
    strPassword = psz;
    return true;
  }
  if (!isatty(STDIN_FILENO)) {
    strError = "no password: give --password-file FILE, set ZK7_PASSWORD, or run on a terminal";
    return false;
  }
  std::cerr << "Password: " << std::flush;
  termios old{};
  tcgetattr(STDIN_FILENO, &old);
  termios quiet = old;
  quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
  tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
  std::getline(std::cin, strPassword);
  tcsetattr(STDIN_FILENO, TCSAFLUSH, &old);
  std::cerr << "\n";
  return true;
}

// Patterns DEVICE/FILE (the unnamed directory) or DEVICE/DIR/FILE, each part a glob.
bool Matches(const std::string& strPattern, const std::string& strDevice, const std::string& strDir,
             const std::string& strFile) {
  std::vector<std::string> aParts;
  size_t nStart = 0;
  for (size_t n; (n = strPattern.find('/', nStart)) != std::string::npos; nStart = n + 1)
    aParts.push_back(strPattern.substr(nStart, n - nStart));
  aParts.push_back(strPattern.substr(nStart));
  auto glob = [](const std::string& p, const std::string& s) { return fnmatch(p.c_str(), s.c_str(), 0) == 0; };
  if (aParts.size() == 2) return strDir.empty() && glob(aParts[0], strDevice) && glob(aParts[1], strFile);
  if (aParts.size() == 3)
    return !strDir.empty() && glob(aParts[0], strDevice) && glob(aParts[1], strDir) && glob(aParts[2], strFile);
  return false;
}

// Seconds, a fraction allowed, whatever the locale.
bool ParseTimeout(const std::string& strValue, int& nWaitMs) {
  double d = 0;
  auto [p, ec] = std::from_chars(strValue.data(), strValue.data() + strValue.size(), d);
  if (ec != std::errc() || p != strValue.data() + strValue.size() || !(d >= 0.001 && d <= 86400)) return false;
  nWaitMs = static_cast<int>(d * 1000 + 0.5);
  return true;
}

std::string ModulePath(const std::string& strDevice, const std::string& strDir, const std::string& strFile) {
  return strDevice + "/" + (strDir.empty() ? "" : strDir + "/") + strFile;
}

class CCliDownloadObserver : public CDownloadObserver {
public:
  CCliDownloadObserver(bool bReplace, bool bSkip) : m_bReplace(bReplace), m_bSkip(bSkip) {}

  void SetStatus(const std::string& strText) override {
    if (m_bTerminal) std::cerr << "\r\033[K" << Latin1ToUtf8(strText) << std::flush;
  }

  eReplaceAnswer AskReplaceFile(const std::string& strLocalPath) override {
    if (m_bReplace) return eReplaceAnswer::YesToAll;
    if (m_bSkip) return eReplaceAnswer::NoToAll;
    if (!isatty(STDIN_FILENO)) {
      std::cerr << "'" << strLocalPath << "' already exists: give --replace or --skip\n";
      return eReplaceAnswer::Cancel;
    }
    for (;;) {
      std::cerr << (m_bTerminal ? "\n" : "") << ReplaceQuestionText(strLocalPath) << "\n"
                << "[y]es, [n]o, yes to [a]ll, no to a[l]l, [c]ancel: " << std::flush;
      std::string strAnswer;
      if (!std::getline(std::cin, strAnswer)) return eReplaceAnswer::Cancel;
      if (strAnswer == "y") return eReplaceAnswer::Yes;
      if (strAnswer == "n" || strAnswer.empty()) return eReplaceAnswer::No;
      if (strAnswer == "a") return eReplaceAnswer::YesToAll;
      if (strAnswer == "l") return eReplaceAnswer::NoToAll;
      if (strAnswer == "c") return eReplaceAnswer::Cancel;
    }
  }

  void EndStatus() {
    if (m_bTerminal) std::cerr << "\r\033[K" << std::flush;
  }

private:
  bool m_bReplace;
  bool m_bSkip;
  bool m_bTerminal = isatty(STDERR_FILENO) != 0;
};

class CCliSendObserver : public CSendConfigObserver {
public:
  CCliSendObserver(std::string strPath, bool bStopRunning, bool bStart)
      : m_strPath(std::move(strPath)), m_bStopRunning(bStopRunning), m_bStart(bStart) {}

  bool ConfirmStopAcquisition() override {
    if (!m_bStopRunning)
      std::cerr << "Acquisition is currently running.\n"
                   "You must stop acquisition in order to send the configuration file.\n"
                   "(--stop-running stops it first)\n";
    return m_bStopRunning;
  }
  std::string ChooseConfigurationFile() override { return m_strPath; }
  bool ConfirmStartAcquisition() override {
    std::cout << "Configuration has been successfully sent.\n";
    return m_bStart;
  }
  void ShowError(const std::string& strText) override { std::cerr << Latin1ToUtf8(strText) << "\n"; }
  void ShowInformation(const std::string& strText) override { std::cout << Latin1ToUtf8(strText) << "\n"; }

private:
  std::string m_strPath;
  bool m_bStopRunning;
  bool m_bStart;
};

int RunList(CZK7Dev& dev, const std::string& strAddress) {
  CDownloadFiles files;
  CCliDownloadObserver observer(false, false);
  if (files.List(dev, strAddress, observer) != ZK7_OK) return Fail(dev.GetLastErrorText());
  for (int k = 0; k < ZK7_CATEGORY_COUNT; ++k) {
    const std::string strDevice = g_aStorageCategories[static_cast<size_t>(k)].pszDevice;
    std::cout << Latin1ToUtf8(CategoryDisplayName(k)) << " (" << strDevice << ")\n";
    for (const auto& dir : files.Categories()[static_cast<size_t>(k)])
      for (const auto& file : dir.aFiles)
        std::cout << "  " << file.nSize << "\t" << Latin1ToUtf8(ModulePath(strDevice, dir.strName, file.strName))
                  << "\n";
  }
  return CLI_OK;
}

int RunDownload(CZK7Dev& dev, const std::string& strAddress, const CCliArgs& args) {
  CDownloadFiles files;
  CCliDownloadObserver observer(args.Has("--replace"), args.Has("--skip"));
  if (files.List(dev, strAddress, observer) != ZK7_OK) return Fail(dev.GetLastErrorText());
  const auto aPatterns = args.Values("--select");
  for (int k = 0; k < ZK7_CATEGORY_COUNT; ++k) {
    const std::string strDevice = g_aStorageCategories[static_cast<size_t>(k)].pszDevice;
    for (auto& dir : files.Categories()[static_cast<size_t>(k)]) {
      for (auto& file : dir.aFiles) {
        bool bSelected = aPatterns.empty();
        for (const auto& strPattern : aPatterns) bSelected |= Matches(strPattern, strDevice, dir.strName, file.strName);
        file.bSelected = bSelected ? 1 : 0;
      }
    }
  }
  if (files.CountSelected() == 0) return Fail(ZK7_MSG_NO_FILE_SELECTED);
  std::filesystem::path destination = args.Has("--dest")
                                          ? std::filesystem::path(args.Value("--dest"))
                                          : DefaultDownloadDestination(UserDocumentsFolder(), strAddress);
  std::string strMessage;
  bool bDone = files.Download(dev, destination, observer, strMessage);
  observer.EndStatus();
  if (!bDone) return strMessage.empty() ? CLI_FAILURE : Fail(strMessage);
  sDownloadSummary summary = files.Summarize(destination);
  std::cout << Latin1ToUtf8(summary.strMessage) << "\n";
  // Files skipped for a refused name did not arrive: not a success.
  return summary.aRefused.empty() ? CLI_OK : CLI_FAILURE;
}

} // namespace

bool IsInstrumentCommand(const char* pszCommand) {
  if (!pszCommand) return false;
  for (const char* psz : kCommands)
    if (std::strcmp(psz, pszCommand) == 0) return true;
  return false;
}

const char* InstrumentUsage() {
  return "  list COMMON                       the files on the module's storage devices\n"
         "  download COMMON [--dest DIR] [--select DEVICE/[DIR/]FILE-PATTERN]... [--replace|--skip]\n"
         "                                    copies files into DIR/DEVICE/DIR/FILE (default: every file;\n"
         "                                    DIR defaults to <documents>/ZK7/<address>)\n"
         "  follow COMMON [DEVICE/[DIR/]FILE] [--dest DIR] [--interval SECONDS] [--duration SECONDS] [--replace]\n"
         "                                    keeps DIR/DEVICE/DIR/FILE byte-identical to the results file the\n"
         "                                    module records, fetching only what it gained (default: the file\n"
         "                                    that grows); ends when acquisition stops or after --duration;\n"
         "                                    an existing copy is replaced on --replace or when confirmed\n"
         "  send-config FILE.xml COMMON [--stop-running] [--start]\n"
         "                                    sends a configuration, named after the file\n"
         "  status COMMON                     whether acquisition is running\n"
         "  start COMMON                      starts acquisition (data appended)\n"
         "  stop COMMON                       stops acquisition\n"
         "  COMMON: --address A [--port P] --user U [--password-file F] [--timeout SECONDS]\n"
         "          (--timeout: the wait for each answer and each file block, 60 by default)\n"
         "          (the password: the file's first line, else $ZK7_PASSWORD, else asked on the terminal)\n";
}

int RunInstrumentCommand(int argc, char** argv) {
  const std::string strCommand = argv[1];
  std::vector<sCliOptionSpec> specs = {
      {"--address", true}, {"--port", true}, {"--user", true}, {"--password-file", true}, {"--timeout", true}};
  if (strCommand == "download") specs.insert(specs.end(), {{"--dest", true}, {"--select", true}, {"--replace", false}, {"--skip", false}});
  if (strCommand == "follow")
    specs.insert(specs.end(), {{"--dest", true}, {"--interval", true}, {"--duration", true}, {"--replace", false}});
  if (strCommand == "send-config") specs.insert(specs.end(), {{"--stop-running", false}, {"--start", false}});
  CCliArgs args;
  std::string strError;
  size_t nPositional = strCommand == "send-config" ? 1 : 0;
  if (!args.Parse(argc, argv, 2, specs, strError) ||
      (args.Positional().size() != nPositional && !(strCommand == "follow" && args.Positional().size() == 1)) ||
      !args.Has("--address") || !args.Has("--user") || (args.Has("--replace") && args.Has("--skip"))) {
    if (strError.empty()) strError = "usage:\n" + std::string(InstrumentUsage());
    std::cerr << "zk7-cli " << strCommand << ": " << strError << "\n";
    return CLI_USAGE;
  }
  int nWaitMs = ZK7_WAIT_MS;
  if (args.Has("--timeout") && !ParseTimeout(args.Value("--timeout"), nWaitMs)) {
    std::cerr << "zk7-cli " << strCommand << ": --timeout needs a number of seconds from 0.001 to 86400\n";
    return CLI_USAGE;
  }
  std::string strPassword;
  if (!ReadPassword(args, strPassword, strError)) {
    std::cerr << "zk7-cli " << strCommand << ": " << strError << "\n";
    return CLI_USAGE;
  }
  const std::string strAddress = args.Value("--address");
  int64_t nPort = ZK7_DEFAULT_PORT;
  if (args.Has("--port") && !ScanInt(args.Value("--port"), 1, 65535, nPort)) {
    std::cerr << "zk7-cli " << strCommand << ": --port takes a port number from 1 to 65535\n";
    return CLI_USAGE;
  }
  CZK7Dev dev(static_cast<int>(nPort));
  dev.SetParameters(strAddress, args.Value("--user"), strPassword);
  dev.SetWaitMs(nWaitMs);
  if (dev.Login() != ZK7_OK) return Fail(dev.GetLastErrorText());

  if (strCommand == "list") return RunList(dev, strAddress);
  if (strCommand == "download") return RunDownload(dev, strAddress, args);
  if (strCommand == "follow") return RunFollow(dev, strAddress, args);
  if (strCommand == "send-config") {
    CCliSendObserver observer(args.Positional()[0], args.Has("--stop-running"), args.Has("--start"));
    eSendConfigOutcome outcome = RunSendConfiguration(dev, observer);
    return outcome == eSendConfigOutcome::Sent || outcome == eSendConfigOutcome::Started ? CLI_OK : CLI_FAILURE;
  }
  if (strCommand == "status") {
    int bRunning = 0;
    if (dev.ReadAcquisitionStatus(bRunning) != ZK7_OK) return Fail(dev.GetLastErrorText());
    std::cout << (bRunning ? ZK7_MSG_ACQUISITION_RUNNING : "Acquisition is not running.") << "\n";
    return CLI_OK;
  }
  const bool bStart = strCommand == "start";
  if (dev.SetAcquisition(bStart ? 1 : 0, bStart ? 2 : 0) != ZK7_OK) return Fail(dev.GetLastErrorText());
  std::cout << (bStart ? ZK7_MSG_ACQUISITION_RUNNING : "Acquisition has been stopped.") << "\n";
  return CLI_OK;
}

} // namespace zk7
