// Sending a configuration file to a module: stop a running acquisition when the
// user agrees, load and name the file, send it with a save, and start on request.
#pragma once
#include <string>

namespace zk7 {

class CZK7Dev;

constexpr const char* ZK7_MSG_STOP_RUNNING =
    "Acquisition is currently running.\nYou must stop acquisition in order to send the configuration file.\n"
    "Stop acquisition now ?";
constexpr const char* ZK7_MSG_CONFIG_SENT = "Configuration has been successfully sent.\nRun Acquisition ?";
constexpr const char* ZK7_MSG_ACQUISITION_RUNNING = "Acquisition is running.";

class CSendConfigObserver {
public:
  virtual ~CSendConfigObserver() = default;
  // ZK7_MSG_STOP_RUNNING: true for Yes.
  virtual bool ConfirmStopAcquisition() = 0;
  // The file to send; empty for Cancel.
  virtual std::string ChooseConfigurationFile() = 0;
  // ZK7_MSG_CONFIG_SENT: true for Yes.
  virtual bool ConfirmStartAcquisition() = 0;
  virtual void ShowError(const std::string& strText) = 0;
  virtual void ShowInformation(const std::string& strText) = 0;
};

enum class eSendConfigOutcome { Declined, Cancelled, Failed, Sent, Started };

// Runs the steps in their order on a logged-in link; every failure is shown once
// through the observer and ends the run.
eSendConfigOutcome RunSendConfiguration(CZK7Dev& dev, CSendConfigObserver& observer);

} // namespace zk7
