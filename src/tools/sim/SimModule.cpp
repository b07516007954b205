#include "SimModule.h"

#include <chrono>
#include <ctime>
#include <random>

#include "link/Protocol.h"

namespace zk7 {

CSimModule::CSimModule(const sSimOptions& options) : m_options(options) {
  if (!m_options.strTrace.empty()) m_pTrace = std::fopen(m_options.strTrace.c_str(), "wb");
  std::random_device rd;
  // Small numbers: the ids are written with leading zeros, as a module does.
  m_nNextSession = static_cast<int32_t>(rd() % 900) + 1;
}

CSimModule::~CSimModule() {
  StopAcquisition();
  if (m_pTrace) std::fclose(m_pTrace);
}

std::filesystem::path CSimModule::DevicePath(const std::string& strDevice) const {
  return std::filesystem::path(m_options.strRoot) / strDevice;
}

bool CSimModule::CheckUser(const std::string& strUser, const std::string& strKey, const std::string& strDigest) const {
  auto it = m_options.aUsers.find(strUser);
  return it != m_options.aUsers.end() && PasswordDigest(it->second, strKey) == strDigest;
}

int32_t CSimModule::NewSessionNumber() {
  std::lock_guard lock(m_mutex);
  return m_nNextSession++;
}

void CSimModule::Trace(char cSide, const void* p, size_t n) {
  if (!m_pTrace) return;
  std::lock_guard lock(m_traceMutex);
  std::fprintf(m_pTrace, "%c %zu\n", cSide, n);
  std::fwrite(p, 1, n, m_pTrace);
  std::fputc('\n', m_pTrace);
  std::fflush(m_pTrace);
}

bool CSimModule::IsRunning() {
  std::lock_guard lock(m_mutex);
  return m_bRunning;
}

bool CSimModule::StartAcquisition(const std::string& strMode, std::string& strError) {
  std::lock_guard lock(m_mutex);
  if (m_bRunning) {
    strError = "Acquisition is already running";
    return false;
  }
  sSampleSpec sample;
  sample.nPeriodMs = m_options.nPeriodMs;
  sample.strConfigName = m_strConfigName;
  bool bAppend = strMode == "append" && !m_recordPath.empty() && std::filesystem::exists(m_recordPath) &&
                 m_pWriter && m_pWriter->GetSpec().strConfigName == m_strConfigName;
  if (!bAppend) {
    sample.nStartSeconds = static_cast<int64_t>(std::time(nullptr));
    m_pWriter = std::make_unique<CSampleWriter>(sample);
    char sz[32];
    std::time_t t = static_cast<std::time_t>(sample.nStartSeconds);
    std::tm tm{};
    gmtime_r(&t, &tm);
    std::strftime(sz, sizeof sz, "%Y%m%d_%H%M%S", &tm);
    std::filesystem::path dir = DevicePath(ZK7_DEVICE_INTERNAL);
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    std::filesystem::path path = dir / (m_strConfigName + "_" + sz + ".zk");
    for (int n = 2; std::filesystem::exists(path); ++n)
      path = dir / (m_strConfigName + "_" + sz + "_" + std::to_string(n) + ".zk");
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
      strError = "Cannot create the results file";
      return false;
    }
    auto prologue = m_pWriter->BuildPrologue();
    std::fwrite(prologue.data(), 1, prologue.size(), f);
    std::fclose(f);
    m_recordPath = path;
    m_nRecorded = 0;
  }
  m_bRunning = true;
  m_bStopRequested = false;
  m_recorder = std::thread(&CSimModule::Record, this);
  return true;
}

void CSimModule::StopAcquisition() {
  std::thread recorder;
  {
    std::lock_guard lock(m_mutex);
    m_bStopRequested = true;
    m_bRunning = false;
    recorder = std::move(m_recorder);
  }
  m_cvStop.notify_all();
  if (recorder.joinable()) recorder.join();
}

void CSimModule::Record() {
  std::unique_lock lock(m_mutex);
  std::FILE* f = std::fopen(m_recordPath.c_str(), "ab");
  if (!f) return;
  // A record goes out in one write: a listing taken meanwhile sees whole records
  // (a module's own writes may still be caught halfway; readers allow for that).
  std::setvbuf(f, nullptr, _IOFBF, 1 << 20);
  auto next = std::chrono::steady_clock::now();
  // The file grows one record per period, as a module writes it: a reader sees it live.
  while (!m_bStopRequested) {
    m_pWriter->WriteRecords(f, m_nRecorded, 1);
    std::fflush(f);
    ++m_nRecorded;
    next += std::chrono::milliseconds(m_options.nPeriodMs);
    m_cvStop.wait_until(lock, next, [this] { return m_bStopRequested; });
  }
  std::fclose(f);
}

bool CSimModule::SaveConfiguration(const std::string& strName, const std::string& strXml, std::string& strError) {
  std::lock_guard lock(m_mutex);
  if (m_bRunning) {
    strError = "Acquisition is running";
    return false;
  }
  std::filesystem::path dir = DevicePath(ZK7_DEVICE_CONFIGS);
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  std::FILE* f = std::fopen((dir / (strName + ".xml")).c_str(), "wb");
  if (!f || std::fwrite(strXml.data(), 1, strXml.size(), f) != strXml.size()) {
    if (f) std::fclose(f);
    strError = "Cannot save the configuration";
    return false;
  }
  std::fclose(f);
  m_strConfigName = strName;
  return true;
}

} // namespace zk7
