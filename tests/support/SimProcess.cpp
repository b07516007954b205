#include "SimProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>

#include "link/ZK7Dev.h"

extern char** environ;

namespace zk7 {

namespace {

std::vector<char*> ArgvOf(const std::string& strProgram, const std::vector<std::string>& aArgs) {
  std::vector<char*> a{const_cast<char*>(strProgram.c_str())};
  for (const auto& s : aArgs) a.push_back(const_cast<char*>(s.c_str()));
  a.push_back(nullptr);
  return a;
}

void ReadAll(int fd, std::string& str) {
  char buf[65536];
  for (ssize_t n; (n = read(fd, buf, sizeof buf)) != 0;) {
    if (n < 0 && errno != EINTR) break;
    if (n > 0) str.append(buf, static_cast<size_t>(n));
  }
  close(fd);
}

} // namespace

CModuleSim::CModuleSim() : m_temp(MakeTempDir("zk7module")) {
  for (const char* psz : {"configs", "logs", "internal"}) std::filesystem::create_directories(Root() / psz);
  std::filesystem::create_directories(Local());
}

CModuleSim::~CModuleSim() {
  Stop();
  std::error_code ec;
  std::filesystem::remove_all(m_temp, ec);
}

bool CModuleSim::Start(const std::vector<std::string>& aArgs, std::string& strError) {
  Stop();
  std::vector<std::string> aAll = {"--root", Root().string(), "--listen", "127.0.0.1:0"};
  aAll.insert(aAll.end(), aArgs.begin(), aArgs.end());
  aAll.insert(aAll.end(), {"--user", std::string(kUser) + ":" + kPassword, "--trace", (m_temp / "trace").string()});
  const std::string strProgram = ZK7_SIM_PATH;
  int fds[2];
  if (pipe(fds) != 0) return strError = "pipe failed", false;
  auto argv = ArgvOf(strProgram, aAll);
  m_pid = fork();
  if (m_pid == 0) {
    dup2(fds[1], STDOUT_FILENO);
    close(fds[0]), close(fds[1]);
    execv(strProgram.c_str(), argv.data());
    _exit(127);
  }
  close(fds[1]);
  std::string strLine;
  for (char c; m_pid > 0 && strLine.find('\n') == std::string::npos; strLine += c) {
    pollfd pfd{fds[0], POLLIN, 0};
    if (poll(&pfd, 1, 20000) <= 0 || read(fds[0], &c, 1) != 1) break;
  }
  close(fds[0]);
  const std::string strPrefix = "listening on ";
  const size_t nColon = strLine.rfind(':');
  if (strLine.rfind(strPrefix, 0) != 0 || nColon == std::string::npos) {
    strError = "zk7-sim did not report its port: '" + strLine + "'";
    Stop();
    return false;
  }
  m_strHost = strLine.substr(strPrefix.size(), nColon - strPrefix.size());
  m_nPort = std::atoi(strLine.c_str() + nColon + 1);
  return m_nPort > 0;
}

void CModuleSim::Stop() {
  if (m_pid <= 0) return;
  kill(m_pid, SIGTERM);
  waitpid(m_pid, nullptr, 0);
  m_pid = -1;
}

std::vector<std::string> CModuleSim::Traced(char cSide) const {
  // The trace holds "SIDE LENGTH\n" then the bytes and a newline, per message.
  std::vector<std::string> a;
  std::ifstream in(m_temp / "trace", std::ios::binary);
  char cFrom = 0;
  size_t nLength = 0;
  while (in.get(cFrom) && in >> nLength && in.get() == '\n') {
    std::string str(nLength, '\0');
    if (!in.read(str.data(), static_cast<std::streamsize>(nLength)) || in.get() != '\n') break;
    if (cFrom == cSide) a.push_back(std::move(str));
  }
  return a;
}

int CModuleSim::CountRequests(const std::string& strNeedle) const {
  const auto a = Traced('C');
  return static_cast<int>(std::count_if(a.begin(), a.end(), [&](const std::string& s) { return s.find(strNeedle) != std::string::npos; }));
}

std::unique_ptr<CZK7Dev> CModuleSim::Client(const std::string& strPassword) const {
  auto dev = std::make_unique<CZK7Dev>(Port());
  dev->SetParameters(Host(), kUser, strPassword);
  return dev;
}

sProcessResult RunProcess(const std::string& strProgram, const std::vector<std::string>& aArgs, const std::vector<std::string>& aEnv) {
  sProcessResult result;
  int out[2], err[2];
  if (pipe(out) != 0 || pipe(err) != 0) return result;
  std::vector<std::string> aEnvAll;
  for (char** p = environ; *p; ++p) aEnvAll.push_back(*p);
  for (const auto& strEntry : aEnv) {
    const std::string strName = strEntry.substr(0, strEntry.find('=')) + "=";
    std::erase_if(aEnvAll, [&](const std::string& s) { return s.rfind(strName, 0) == 0; });
    if (strEntry.find('=') != std::string::npos) aEnvAll.push_back(strEntry);
  }
  std::vector<char*> envp;
  for (auto& s : aEnvAll) envp.push_back(s.data());
  envp.push_back(nullptr);
  auto argv = ArgvOf(strProgram, aArgs);
  const pid_t pid = fork();
  if (pid == 0) {
    const int nNull = open("/dev/null", O_RDONLY);
    dup2(nNull, STDIN_FILENO), dup2(out[1], STDOUT_FILENO), dup2(err[1], STDERR_FILENO);
    for (int fd : {nNull, out[0], out[1], err[0], err[1]}) close(fd);
    execve(strProgram.c_str(), argv.data(), envp.data());
    _exit(127);
  }
  close(out[1]), close(err[1]);
  std::thread errReader([&] { ReadAll(err[0], result.strErr); });
  ReadAll(out[0], result.strOut);
  errReader.join();
  int nStatus = 0;
  rusage usage{};
  wait4(pid, &nStatus, 0, &usage);
  result.nMaxRssKb = usage.ru_maxrss;
  result.nExitCode = WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : -1;
  return result;
}

CTempDir::~CTempDir() {
  std::error_code ec;
  if (!m_strPath.empty()) std::filesystem::remove_all(m_strPath, ec);
}

std::string PdfToText(const std::string& strPdf, std::vector<std::string> aOptions) {
  aOptions.insert(aOptions.end(), {strPdf, "-"});
  const sProcessResult r = RunProcess("/usr/bin/pdftotext", aOptions);
  return r.nExitCode == 0 ? r.strOut : "pdftotext failed: " + r.strErr;
}

std::string MakeTempDir(const std::string& strPrefix) {
  // TMPDIR is the test home's own folder, which an emptied home may lack.
  const char* pszTemp = std::getenv("TMPDIR");
  const std::filesystem::path base = pszTemp && *pszTemp ? std::filesystem::path(pszTemp) : std::filesystem::path("/tmp");
  std::error_code ec;
  std::filesystem::create_directories(base, ec);
  std::string strTemplate = (base / (strPrefix + "XXXXXX")).string();
  const char* psz = mkdtemp(strTemplate.data());
  return psz ? std::string(psz) : std::string();
}

} // namespace zk7
