#include "workflows/SendConfiguration.h"

#include "link/ZK7Dev.h"

namespace zk7 {

eSendConfigOutcome RunSendConfiguration(CZK7Dev& dev, CSendConfigObserver& observer) {
  int bRunning = 0;
  // A failed query counts as not running: the send that follows logs in again.
  dev.ReadAcquisitionStatus(bRunning);
  if (bRunning) {
    if (!observer.ConfirmStopAcquisition()) return eSendConfigOutcome::Declined;
    if (dev.SetAcquisition(0, 0) != 0) {
      observer.ShowError(dev.GetLastErrorText());
      return eSendConfigOutcome::Failed;
    }
  }
  std::string strPath = observer.ChooseConfigurationFile();
  if (strPath.empty()) return eSendConfigOutcome::Cancelled;
  if (dev.LoadConfiguration(strPath) != 0 || dev.SendConfiguration() != 0) {
    observer.ShowError(dev.GetLastErrorText());
    return eSendConfigOutcome::Failed;
  }
  if (!observer.ConfirmStartAcquisition()) return eSendConfigOutcome::Sent;
  if (dev.SetAcquisition(1, 2) != 0) {
    observer.ShowError(dev.GetLastErrorText());
    return eSendConfigOutcome::Failed;
  }
  observer.ShowInformation(ZK7_MSG_ACQUISITION_RUNNING);
  return eSendConfigOutcome::Started;
}

} // namespace zk7
