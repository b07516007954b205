// What all connections of zk7-sim share: the served folder, the users, the
// trace file and the acquisition, which records a results file while it runs.
#pragma once
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "SimOptions.h"
#include "samples/SampleWriter.h"

namespace zk7 {

class CSimModule {
public:
  explicit CSimModule(const sSimOptions& options);
  ~CSimModule();

  const sSimOptions& Options() const { return m_options; }
  std::filesystem::path DevicePath(const std::string& strDevice) const;
  bool CheckUser(const std::string& strUser, const std::string& strKey, const std::string& strDigest) const;
  int32_t NewSessionNumber();

  // Trace: what each side sent, as "C|S <length>\n<bytes>\n" records.
  void Trace(char cSide, const void* p, size_t n);

  bool IsRunning();
  // strMode: "new", "seal" or "append". False with strError when refused.
  bool StartAcquisition(const std::string& strMode, std::string& strError);
  void StopAcquisition();
  // Saves a configuration under configs/<name>.xml; refused while acquiring.
  bool SaveConfiguration(const std::string& strName, const std::string& strXml, std::string& strError);

private:
  void Record();

  sSimOptions m_options;
  std::mutex m_traceMutex;
  std::FILE* m_pTrace = nullptr;
  std::mutex m_mutex;
  int32_t m_nNextSession;
  std::condition_variable m_cvStop;
  bool m_bRunning = false;
  bool m_bStopRequested = false;
  std::thread m_recorder;
  std::string m_strConfigName = "Default";
  std::filesystem::path m_recordPath;  // the last file recorded, for "append"
  int64_t m_nRecorded = 0;
  std::unique_ptr<CSampleWriter> m_pWriter;
};

} // namespace zk7
