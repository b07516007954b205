// CLinkThread: the thread that owns one link to a module. The link's work runs
// there while the window's own thread keeps handling its events, so that the
// window repaints and a Cancel press reaches the link at any moment.
// A command waits for its work (Run); work that lasts as long as a window
// (following a file) is started and left to report by queued signals of its
// own (Start). Either way the thread ends only after the work: the destructor
// raises the link's cancel flag, which such work must watch, and joins it.
#pragma once
#include <QObject>
#include <QThread>
#include <functional>
#include <memory>
#include <string>
#include <type_traits>

#include "link/ZK7Dev.h"

namespace zk7 {

class CLinkThread : public QObject {
  Q_OBJECT
public:
  explicit CLinkThread(std::unique_ptr<CZK7Dev> pDevice, QObject* pParent = nullptr);
  // Ends the thread, then closes the link (which ends the module's session).
  ~CLinkThread() override;

  // Runs fnWork on the link's thread and returns its result. Meanwhile the
  // calling thread runs its event loop (timers, painting, the wait dialog's
  // Cancel). An exception from fnWork ends the work with ZK7_ERR_RESPONSE and
  // its text in GetLastErrorText().
  int Run(const std::function<int(CZK7Dev&)>& fnWork);
  bool IsRunning() const { return m_bRunning; }
  // Starts fnWork on the link's thread and returns at once. fnWork reports by
  // itself, lets no exception out, and returns soon after IsCancelRequested.
  // Not mixed with Run on one link: a Run would wait behind it.
  void Start(std::function<void(CZK7Dev&)> fnWork);

  // From any thread: the link's wait in progress ends at once.
  void RequestCancel() { m_pDevice->RequestCancel(); }

  // As of the end of the last run: safe to read while a run is in progress.
  bool IsLogged() const { return m_bLogged; }
  bool IsCancelRequested() const { return m_pDevice->IsCancelRequested(); }
  std::string GetLastErrorText() const { return m_strError; }
  CZK7Dev* GetDevice() const { return m_pDevice.get(); }

signals:
  void workDone();

private:
  QThread m_thread;
  QObject* m_pContext;  // lives in m_thread: work queued to it runs there
  std::unique_ptr<CZK7Dev> m_pDevice;
  bool m_bRunning = false;
  bool m_bLogged = false;
  std::string m_strError;
};

// Runs fn on the thread of pContext and waits for its result; for questions that
// work on a link's thread puts to the user. The other thread must be running its
// event loop (as CLinkThread::Run's caller does).
template <class F>
auto CallOnThreadOf(QObject* pContext, F fn) -> decltype(fn()) {
  using R = decltype(fn());
  if (QThread::currentThread() == pContext->thread()) return fn();
  if constexpr (std::is_void_v<R>) {
    QMetaObject::invokeMethod(pContext, fn, Qt::BlockingQueuedConnection);
  } else {
    R result{};
    QMetaObject::invokeMethod(pContext, [&result, &fn] { result = fn(); }, Qt::BlockingQueuedConnection);
    return result;
  }
}

} // namespace zk7
