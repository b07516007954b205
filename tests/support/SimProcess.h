// Child processes for the tests: zk7-sim as a module, and one-shot runs of
// zk7-cli and others with their output and exit status.
#pragma once
#include <sys/types.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace zk7 {

class CZK7Dev;

// A module for a test: zk7-sim on a free loopback port, over a fresh folder of
// its own (removed with this) whose storage devices exist, with one known user
// and a trace of the bytes exchanged.
class CModuleSim {
public:
  static constexpr const char* kUser = "operator";
  static constexpr const char* kPassword = "s3cret&";

  CModuleSim();
  ~CModuleSim();
  CModuleSim(const CModuleSim&) = delete;
  CModuleSim& operator=(const CModuleSim&) = delete;

  // (Re)starts the simulator with aArgs (faults, period) and reads the port from
  // its "listening on HOST:PORT" line; false with strError.
  bool Start(const std::vector<std::string>& aArgs, std::string& strError);
  // Ends the process (SIGTERM) and reaps it.
  void Stop();
  const std::string& Host() const { return m_strHost; }
  int Port() const { return m_nPort; }

  const std::filesystem::path& Temp() const { return m_temp; }
  std::filesystem::path Root() const { return m_temp / "module"; }
  std::filesystem::path Local() const { return m_temp / "local"; }
  // What one side ('C' the clients, 'S' the simulator) sent, one entry per message.
  std::vector<std::string> Traced(char cSide = 'C') const;
  int CountRequests(const std::string& strNeedle) const;
  // A client of the known user (or another password), not logged in yet.
  std::unique_ptr<CZK7Dev> Client(const std::string& strPassword = kPassword) const;

private:
  std::filesystem::path m_temp;
  pid_t m_pid = -1;
  std::string m_strHost;
  int m_nPort = 0;
};

// The exit code is -1 when the process did not exit normally; nMaxRssKb is its peak resident memory.
struct sProcessResult { int nExitCode = -1; long nMaxRssKb = 0; std::string strOut, strErr; };

// Runs strProgram with aArgs, this process's environment changed by aEnv
// ("NAME=VALUE" sets, "NAME" removes), and nothing on its standard input.
sProcessResult RunProcess(const std::string& strProgram, const std::vector<std::string>& aArgs,
                          const std::vector<std::string>& aEnv = {});

// The text of a PDF as pdftotext reads it with aOptions (the page layout kept
// by default); what pdftotext said on failure instead.
std::string PdfToText(const std::string& strPdf, std::vector<std::string> aOptions = {"-layout"});

// A fresh empty folder under TMPDIR, which the tests set to the test home's own.
std::string MakeTempDir(const std::string& strPrefix);

// Such a folder, removed with all it holds when this goes, whatever the test's outcome.
class CTempDir {
public:
  explicit CTempDir(const std::string& strPrefix) : m_strPath(MakeTempDir(strPrefix)) {}
  ~CTempDir();
  CTempDir(const CTempDir&) = delete;
  CTempDir& operator=(const CTempDir&) = delete;
  const std::string& Path() const { return m_strPath; }

private:
  std::string m_strPath;
};

} // namespace zk7
