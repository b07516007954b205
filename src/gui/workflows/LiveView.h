// CLiveView: a module's running acquisition followed into the download
// destination and shown in a history window while it records.
//
// Design. The following runs on a link of its own: a second session with the
// module, logged in with the parameters of the application's link, owned by a
// CLinkThread that the window's thread never waits on. There the work repeats
// CFollowFile::Step (the acquisition's state, then the bytes the file gained,
// appended to the copy) and then waits the interval on the link's cancel
// flag; each step is reported by a queued signal. The window's thread only
// reads the copy, through the window's document.
// The window opens when the copy holds its first whole records, with Follow
// on. Each report then has the window take its new records at once (the
// window's own growth checks would see them within a second anyway), so a
// record written on the module shows within the interval and one catch-up.
// The view belongs to its window: closing the window, or the application,
// deletes it, which raises the cancel flag (a wait on the link ends within
// 200 ms), joins the thread and closes the connection.
// A link failure reconnects and the following goes on, as zk7-cli follow
// does; once the module reports acquisition stopped, a last catch-up makes
// the copy whole and the view ends with its window kept. The state goes to
// the status bar while the window is active (LiveStatusText).
#pragma once
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>
#include <string>

#include "workflows/FollowFile.h"
#include "workflows/LinkThread.h"

namespace zk7 {

class CHistFrame;

class CLiveView : public QObject {
  Q_OBJECT
public:
  // Opens the copy's window; the window then owns this view (setParent). nullptr
  // when the file is refused: the view ends.
  using WindowOpener = std::function<CHistFrame*(const QString& strPath, CLiveView& live)>;
  // Shows a failure to the user, once.
  using ErrorReporter = std::function<void(const std::string& strText)>;

  // follow: located, its copy not started yet. The view starts following at once.
  CLiveView(std::unique_ptr<CZK7Dev> pDevice, const CFollowFile& follow, int nIntervalMs, WindowOpener opener,
            ErrorReporter reporter, QObject* pParent = nullptr);
  // Cancels the following and waits for the link's thread to end.
  ~CLiveView() override;

  const std::filesystem::path& LocalPath() const { return m_local; }
  eLiveState GetState() const { return m_state; }
  bool IsEnded() const { return m_state == eLiveState::Stopped || m_state == eLiveState::Failed; }
  // The status bar's text: the records of the window's document, else of the copy.
  std::string GetStatusText() const;
  CHistFrame* GetWindow() const;
  // The link's thread, to see it end.
  CLinkThread* GetLink() const { return m_pLink.get(); }

signals:
  void statusChanged();
  // From the link's thread: one per step.
  void stepDone(int nState, qint64 nRecords, const QString& strError);

private:
  void Work(CZK7Dev& dev, CFollowFile follow);
  void OnStep(int nState, qint64 nRecords, const QString& strError);

  std::unique_ptr<CLinkThread> m_pLink;
  std::filesystem::path m_local;
  int m_nIntervalMs;
  WindowOpener m_opener;
  ErrorReporter m_reporter;
  QPointer<CHistFrame> m_pFrame;
  bool m_bWindowTried = false;
  eLiveState m_state = eLiveState::Starting;
  int64_t m_nRecords = 0;
  std::string m_strError;
};

} // namespace zk7
