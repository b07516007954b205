#include "workflows/LiveView.h"

#include <cmath>
#include <exception>
#include <limits>

#include "history/HistFrame.h"
#include "results/ZK7Doc.h"
#include "workflows/InstrumentCommands.h"

namespace zk7 {

CLiveView::CLiveView(std::unique_ptr<CZK7Dev> pDevice, const CFollowFile& follow, int nIntervalMs,
                     WindowOpener opener, ErrorReporter reporter, QObject* pParent)
    : QObject(pParent),
      m_pLink(std::make_unique<CLinkThread>(std::move(pDevice))),
      m_local(follow.LocalPath()),
      m_nIntervalMs(nIntervalMs),
      m_opener(std::move(opener)),
      m_reporter(std::move(reporter)) {
  connect(this, &CLiveView::stepDone, this, &CLiveView::OnStep, Qt::QueuedConnection);
  m_pLink->Start([this, follow](CZK7Dev& dev) { Work(dev, follow); });
}

// The link's thread ends first: no report is sent from it afterwards, and the
// reports already posted go with this object.
CLiveView::~CLiveView() { m_pLink.reset(); }

void CLiveView::Work(CZK7Dev& dev, CFollowFile follow) {
  auto report = [this](eLiveState state, int64_t nRecords, const std::string& strError) {
    emit stepDone(static_cast<int>(state), nRecords, QString::fromLatin1(strError));
  };
  try {
    std::string strError;
    if (!follow.Start(strError)) {
      report(eLiveState::Failed, 0, strError);
      return;
    }
    // A refused login is a link failure like the others: the steps reconnect.
    dev.Login();
    for (;;) {
      const CFollowFile::eStep step = follow.Step(dev);
      if (dev.IsCancelRequested()) return;
      const eLiveState state = step == CFollowFile::eStep::Failed     ? eLiveState::Failed
                               : step == CFollowFile::eStep::Finished ? eLiveState::Stopped
                               : follow.LastResult() == ZK7_OK        ? eLiveState::Following
                                                                      : eLiveState::Reconnecting;
      report(state, follow.Records(), state == eLiveState::Failed || state == eLiveState::Reconnecting
                                          ? dev.GetLastErrorText()
                                          : std::string());
      if (step != CFollowFile::eStep::Continue) return;
      if (!PauseUnlessCancelled(dev, m_nIntervalMs)) return;
    }
  } catch (const std::exception& e) {
    report(eLiveState::Failed, follow.Records(), e.what());
  }
}

void CLiveView::OnStep(int nState, qint64 nRecords, const QString& strError) {
  try {
    m_state = static_cast<eLiveState>(nState);
    m_nRecords = nRecords;
    m_strError = strError.toLatin1().toStdString();
    if (!m_bWindowTried && nRecords > 0) {
      m_bWindowTried = true;
      m_pFrame = m_opener ? m_opener(PathToDisplay(m_local), *this) : nullptr;
      if (!m_pFrame) {
        // Refused (its message shown): nothing to follow into.
        m_pLink->RequestCancel();
        deleteLater();
        return;
      }
    } else if (m_pFrame) {
      // A read error's message runs an event loop, in which the window may close and take this view.
      QPointer<CLiveView> pSelf(this);
      m_pFrame->CheckGrowth();
      if (!pSelf) return;
    }
    emit statusChanged();
    if (m_state == eLiveState::Failed && m_reporter) m_reporter(GetStatusText());
    if (IsEnded() && !m_pFrame) {
      if (m_state == eLiveState::Stopped && m_reporter) m_reporter(GetStatusText());
      deleteLater();
    }
  } catch (const std::exception& e) {
    if (m_reporter) m_reporter(e.what());
  }
}

CHistFrame* CLiveView::GetWindow() const { return m_pFrame.data(); }

std::string CLiveView::GetStatusText() const {
  int64_t nRecords = m_nRecords;
  double dLast = std::numeric_limits<double>::quiet_NaN();
  if (m_pFrame) {
    const CZK7Doc& doc = m_pFrame->GetDocument();
    nRecords = doc.GetRecordCount();
    double dFirst = 0.0;
    if (nRecords > 0 && !doc.GetTimeRange(dFirst, dLast)) dLast = std::numeric_limits<double>::quiet_NaN();
  }
  return LiveStatusText(m_state, nRecords, dLast, m_strError);
}

} // namespace zk7
