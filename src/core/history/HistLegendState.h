// The key pane's rules: its column layout, which channels it lists, how a check box spreads over the selected rows, the scale buttons with
// their single X channel, and the key's clipboard text.
#pragma once
#include <set>
#include <string>
#include <vector>

#include "history/HistViewState.h"
#include "history/KeyTable.h"

namespace zk7 {

// How a key column is laid out (its texts come from BuildKeyTable).
struct sKeyColumnFormat {
  enum eAlign { LEFT = 0, RIGHT = 1, CENTRE = 2 };
  int nMinWidth;  // in characters
  int nAlign;
};
// Columns 0 to 3: "N°", "Channel", "Unit", "Scale"; from 4 on: the fixed marks.
sKeyColumnFormat KeyColumnFormat(int nColumn);

// One state per channel of the document, in channel order, carried over by
// channel; a channel without a state is checked and on Y1.
void NormaliseChanStates(sHistViewState& state, int nChannelCount);
// The channels that get a row, in channel order: all, or the checked ones.
std::vector<int> KeyRowChannels(const sHistViewState& state, bool bHideUnchecked);

// Channel-state operations; a channel without a state reads as checked and Y1,
// and its scale as 65535 (none).
bool IsChannelChecked(const sHistViewState& state, int nChannel);
void SetChannelChecked(sHistViewState& state, int nChannel, bool bChecked);
void SetChannelScale(sHistViewState& state, int nChannel, int nScale);
enum : int { SCALE_NONE = 65535 };
int GetChannelScale(const sHistViewState& state, int nChannel);

// A row's check box changed to bChecked: when that row is selected, every
// selected row takes the same state. Stores the states; returns the other rows
// whose check boxes must now show bChecked.
std::vector<int> ApplyKeyCheck(sHistViewState& state, const std::vector<int>& aRowChannels,
                               const std::set<int>& aSelectedRows, int nRow, bool bChecked);
// The channels the record list shows: the checked ones, in channel order.
std::vector<int> CheckedChannels(const sHistViewState& state);

// The "Assign scale" buttons: Y1 (1) and Y2 (2) go to every selected row; X (0)
// goes to the first selected row, and every other channel that was the X
// channel returns to Y1, listed or not, so that one channel at most is X.
void AssignKeyScale(sHistViewState& state, const std::vector<int>& aRowChannels, const std::set<int>& aSelectedRows,
                    int nScale);

// The key as text: for each row, every cell followed by a TAB, then CR LF; no title line.
std::string KeyClipboardText(const sKeyTable& table);

} // namespace zk7
