#include "workflows/SendConfiguration.h"

#include "link/ZK7Dev.h"

namespace zk7 {

eSendConfigOutcome RunSendConfiguration(CZK7Dev& dev, CSendConfigObserver& observer) {
  // A cancel ends the run without a message; any other failure is shown once.
  auto failed = [&](int nResult) {
    if (nResult == ZK7_ERR_CANCELLED) return eSendConfigOutcome::Cancelled;
    observer.ShowError(dev.GetLastErrorText());
    return eSendConfigOutcome::Failed;
  };
  int bRunning = 0;
  // A failed query counts as not running: the send that follows logs in again
  // (the failure closed the connection, so a late answer is never read), and a
  // module that does acquire refuses the configuration, which is then shown.
  if (dev.ReadAcquisitionStatus(bRunning) == ZK7_ERR_CANCELLED) return eSendConfigOutcome::Cancelled;
  if (bRunning) {
    if (!observer.ConfirmStopAcquisition()) return eSendConfigOutcome::Declined;
    if (int nResult = dev.SetAcquisition(0, 0)) return failed(nResult);
  }
  std::string strPath = observer.ChooseConfigurationFile();
  if (strPath.empty()) return eSendConfigOutcome::Cancelled;
  if (int nResult = dev.LoadConfiguration(strPath)) return failed(nResult);
  if (int nResult = dev.SendConfiguration()) return failed(nResult);
  if (!observer.ConfirmStartAcquisition()) return eSendConfigOutcome::Sent;
  if (int nResult = dev.SetAcquisition(1, 2)) return failed(nResult);
  observer.ShowInformation(ZK7_MSG_ACQUISITION_RUNNING);
  return eSendConfigOutcome::Started;
}

} // namespace zk7
