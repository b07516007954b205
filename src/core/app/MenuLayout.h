// The menus, tool bars and accelerator tables of the main window's three states
// (no document, results window, log window): texts, order and command numbers.
#pragma once
#include <string>
#include <vector>

namespace zk7 {

struct sMenuItem {
  enum eKind { COMMAND, SEPARATOR, POPUP, RECENT_FILES, WINDOW_LIST };
  eKind m_eKind = COMMAND;
  unsigned m_nId = 0;          // command number (COMMAND only)
  std::string m_strText;       // menu text; a TAB separates the key name shown at the right
  std::vector<sMenuItem> m_aItems;   // POPUP only
};

// The top-level pop-ups of menu set nMenuId (IDR_MAINFRAME, IDR_RESULTS, IDR_LOG);
// an empty list for any other number.
const std::vector<sMenuItem>& GetMenuLayout(unsigned nMenuId);

struct sToolButton {
  unsigned m_nId = 0;          // 0: a separator
  std::string m_strText;       // tool tip
};

// The buttons of tool bar nToolBarId, in order; empty for an unknown number.
const std::vector<sToolButton>& GetToolBarLayout(unsigned nToolBarId);

struct sAccelerator {
  std::string m_strKey;        // portable key text: "Ctrl+Insert", "Shift+F6", "Esc"
  unsigned m_nId = 0;
};

// The help line a command shows in the status bar while its menu item or button
// is pointed at; empty for a command without one.
std::string GetCommandStatusText(unsigned nId);

// Accelerator table nTableId: IDR_MAINFRAME (the main window, always active) or
// IDR_RESULTS (a history window, while it is active).
const std::vector<sAccelerator>& GetAcceleratorTable(unsigned nTableId);

// The text of a recent-file entry: "&1 /path/file.zk" for entry 0.
std::string FormatRecentFileItem(int nIndex, const std::string& strPath);

} // namespace zk7
