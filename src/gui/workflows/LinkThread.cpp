#include "workflows/LinkThread.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <atomic>
#include <exception>

namespace zk7 {

CLinkThread::CLinkThread(std::unique_ptr<CZK7Dev> pDevice, QObject* pParent)
    : QObject(pParent), m_pContext(new QObject), m_pDevice(std::move(pDevice)) {
  m_thread.setObjectName(QStringLiteral("zk7-link"));
  m_pContext->moveToThread(&m_thread);
  m_thread.start();
  m_bLogged = m_pDevice->IsLogged();
}

CLinkThread::~CLinkThread() {
  m_pDevice->RequestCancel();
  m_thread.quit();
  m_thread.wait();
  delete m_pContext;
  m_pDevice.reset();
}

void CLinkThread::Start(std::function<void(CZK7Dev&)> fnWork) {
  CZK7Dev* pDevice = m_pDevice.get();
  QMetaObject::invokeMethod(m_pContext, [pDevice, fnWork = std::move(fnWork)] { fnWork(*pDevice); },
                            Qt::QueuedConnection);
}

int CLinkThread::Run(const std::function<int(CZK7Dev&)>& fnWork) {
  m_bRunning = true;
  int nResult = ZK7_OK;
  std::string strException;
  std::atomic<bool> bDone{false};
  QEventLoop loop;
  connect(this, &CLinkThread::workDone, &loop, &QEventLoop::quit, Qt::QueuedConnection);
  QMetaObject::invokeMethod(
      m_pContext,
      [this, &fnWork, &nResult, &strException, &bDone] {
        try {
          nResult = fnWork(*m_pDevice);
        } catch (const std::exception& e) {
          strException = e.what();
          nResult = ZK7_ERR_RESPONSE;
        }
        bDone = true;
        emit workDone();
      },
      Qt::QueuedConnection);
  loop.exec();
  // Only when the application quits does the loop end early: every event loop
  // then returns at once. The work holds references to this frame: stop it and
  // let its pending questions through (their dialogs end as cancelled) until it
  // is over.
  while (!bDone) {
    m_pDevice->RequestCancel();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
    QThread::msleep(5);
  }
  m_bRunning = false;
  m_bLogged = m_pDevice->IsLogged();
  m_strError = strException.empty() ? m_pDevice->GetLastErrorText() : strException;
  return nResult;
}

} // namespace zk7
