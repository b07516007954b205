// What a wait dialog's Cancel has done to an instrument command running on the
// link's thread, shared by the window's thread and the link's thread.
#pragma once
#include <atomic>

namespace zk7 {

struct sCancelState {
  std::atomic<bool> bPressed{false};  // Cancel was pressed at some time in this run
  std::atomic<bool> bPending{false};  // a press not yet seen by the workflow's checks
  std::atomic<bool> bAsking{false};   // the link's thread waits for the user's answer

  // Seen once per press, as the workflow's checks between steps see it.
  bool TakePending() { return bPending.exchange(false); }
};

// Marks the link's thread as waiting for the user's answer: a Cancel press
// meanwhile is only remembered, for the workflow's next check.
class CAskingScope {
public:
  explicit CAskingScope(sCancelState& cancel) : m_cancel(cancel) { m_cancel.bAsking = true; }
  ~CAskingScope() { m_cancel.bAsking = false; }
  CAskingScope(const CAskingScope&) = delete;
  CAskingScope& operator=(const CAskingScope&) = delete;

private:
  sCancelState& m_cancel;
};

} // namespace zk7
