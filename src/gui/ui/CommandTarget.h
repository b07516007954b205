// Command routing between the main window and its document windows: a window
// that carries out menu, tool-bar and key commands answers their state and runs them.
#pragma once

namespace zk7 {

struct sCommandState {
  bool m_bEnabled = false;
  bool m_bChecked = false;   // shown as a check mark (menus) or a pressed button (tool bars)
};

class ICommandTarget {
public:
  virtual ~ICommandTarget() = default;
  // True when this target carries the command out; the state is then filled in.
  // A command no target handles is disabled.
  virtual bool OnUpdateCommand(unsigned nId, sCommandState& state) = 0;
  // Carries the command out; true when this target handled it.
  virtual bool OnCommand(unsigned nId) = 0;
  // The window became the active document window (true) or stopped being it.
  virtual void OnActivateFrame(bool /*bActive*/) {}
};

} // namespace zk7
