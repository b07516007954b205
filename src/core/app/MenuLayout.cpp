// The menu resources of the three main-window states, as data the GUI builds menus from.
#include "app/MenuLayout.h"

#include "app/CommandIds.h"

namespace zk7 {

namespace {

sMenuItem Cmd(unsigned nId, const char* pszText) { return {sMenuItem::COMMAND, nId, pszText, {}}; }
sMenuItem Sep() { return {sMenuItem::SEPARATOR, 0, "", {}}; }
sMenuItem Recent() { return {sMenuItem::RECENT_FILES, 0, "", {}}; }
sMenuItem WindowList() { return {sMenuItem::WINDOW_LIST, 0, "", {}}; }
sMenuItem Popup(const char* pszText, std::vector<sMenuItem> aItems) {
  return {sMenuItem::POPUP, 0, pszText, std::move(aItems)};
}

sMenuItem InstrumentMenu() {
  return Popup("&Instrument", {Cmd(ID_DOWNLOAD_FILES, "Download Files..."),
                               Cmd(ID_SEND_CONFIGURATION, "&Send configuration file..."),
                               Cmd(ID_LIVE_VIEW, "Live View...")});
}

sMenuItem HelpMenu(const char* pszAbout) {
  return Popup("&?", {Cmd(ID_HELP_FINDER, "&Help Topics"), Cmd(ID_ERROR_CODES, "Error codes...."), Sep(),
                      Cmd(ID_APP_ABOUT, pszAbout)});
}

std::vector<sMenuItem> BuildMainMenu() {
  return {
      Popup("&File", {Cmd(ID_FILE_OPEN, "&Open...\tCtrl+O"), Cmd(ID_FILE_PRINT_SETUP, "P&rint Setup..."), Sep(),
                      Recent(), Sep(), Cmd(ID_APP_EXIT, "E&xit")}),
      InstrumentMenu(),
      Popup("&View", {Cmd(ID_VIEW_TOOLBAR, "&Toolbar"), Cmd(ID_VIEW_STATUS_BAR, "&Status Bar")}),
      HelpMenu("&About ZK7..."),
  };
}

std::vector<sMenuItem> BuildResultsMenu() {
  return {
      Popup("&File", {Cmd(ID_FILE_OPEN, "&Open...\tCtrl+O"), Cmd(ID_FILE_CLOSE, "&Close"), Sep(),
                      Cmd(ID_FILE_PRINT_SETUP, "P&rint Setup..."), Cmd(ID_FILE_PRINT_PREVIEW, "G&raph print preview"),
                      Cmd(ID_FILE_PRINT, "&Print Graph...\tCtrl+P"), Cmd(ID_SAVE_GRAPH_AS, "Save Graph As..."),
                      Sep(), Cmd(ID_LIST_PRINT_PREVIEW, "Print Pre&view of Selected lines"),
                      Cmd(ID_LIST_PRINT, "&Print selected &lines..."), Sep(),
                      Cmd(ID_LIST_EXPORT, "&Export selected lines..."), Sep(), Recent(), Sep(),
                      Cmd(ID_APP_EXIT, "E&xit")}),
      Popup("&Edit", {Cmd(ID_EDIT_COPY, "Co&py\tCtrl+C"), Cmd(ID_EDIT_SELECT_ALL, "Select &All\tCtrl+A")}),
      InstrumentMenu(),
      Popup("&View",
            {Cmd(ID_GRAPH_PANE_ONLY, "Graph Pane only"), Cmd(ID_LIST_PANE_ONLY, "List Pane only"),
             Cmd(ID_KEY_PANE_ONLY, "Key Pane only"), Cmd(ID_ALL_PANES, "All Panes"), Sep(),
             Cmd(ID_CURSORS_TOOLS, "&Cursors Tools"), Cmd(ID_SCALES_TOOLS, "&Scales Tools"),
             Cmd(ID_VIEW_STATISTICS, "Statistics"), Sep(),
             Cmd(ID_HIST_GLOBAL_VIEW, "Historical &Global View\tEch"), Cmd(ID_FILE_GLOBAL_VIEW, "&File Global View"),
             Cmd(ID_ZOOM_BACK, "Zoom Back\tAlt+Left"), Cmd(ID_ZOOM_FORWARD, "Zoom Forward\tAlt+Right"),
             Cmd(ID_FOLLOW, "F&ollow"),
             Popup("&Go to", {Cmd(ID_GOTO_DATE, "Go to &Date"), Cmd(ID_GOTO_CURSOR1, "Go to C&ursor 1 in the List"),
                              Cmd(ID_GOTO_CURSOR2, "Go to Cu&rsor 2 in the List")}),
             Popup("&Cursors", {Cmd(ID_GOTO_CURSOR1, "Go to C&ursor 1 in the List"),
                                Cmd(ID_GOTO_CURSOR2, "Go to Cu&rsor 2 in the List"),
                                Cmd(ID_SELECT_BETWEEN_CURSORS, "Select List &between Cursors 1 and 2"),
                                Cmd(ID_CURSOR1_FROM_LIST, "Define Cursor 1 according to list"),
                                Cmd(ID_CURSOR2_FROM_LIST, "Define Cursor 2 according to list"),
                                Cmd(ID_HIST_AREA_FROM_CURSORS, "Define Historical Area from Cursors 1 and 2"), Sep(),
                                Cmd(ID_ADD_FIXED_MARK, "Add a &Fixed Mark"),
                                Cmd(ID_ERASE_FIXED_MARKS, "Erase All Fi&xed Marks")}),
             Popup("&Options", {Popup("Time Display Resolution",
                                      {Cmd(ID_RESOLUTION_1S, "1 s"), Cmd(ID_RESOLUTION_100MS, "100 ms"),
                                       Cmd(ID_RESOLUTION_10MS, "10 ms"), Cmd(ID_RESOLUTION_1MS, "1 ms")}),
                                Cmd(ID_LINK_POINTS, "Link &Points"), Cmd(ID_GRID, "&Grid"),
                                Cmd(ID_STACKED_VIEW, "S&tacked")}),
             Sep(), Cmd(ID_VIEW_TOOLBAR, "&Toolbar"), Cmd(ID_VIEW_STATUS_BAR, "&Status Bar"), Sep(),
             Cmd(ID_FILE_INFORMATION, "Informations about this results file....")}),
      Popup("&Window", {Cmd(ID_WINDOW_NEW, "&New Window"), Cmd(ID_WINDOW_CASCADE, "&Cascade"),
                        Cmd(ID_WINDOW_TILE_HORZ, "&Tile"), Cmd(ID_WINDOW_ARRANGE, "&Arrange Icons"),
                        Cmd(ID_WINDOW_SPLIT, "&Split"), Cmd(ID_WINDOW_ARRANGE_COLUMNS, "Arrange &Columns"),
                        WindowList()}),
      HelpMenu("&Aboute ZK7..."),
  };
}

std::vector<sMenuItem> BuildLogMenu() {
  return {
      Popup("&File", {Cmd(ID_FILE_OPEN, "&Open...\tCtrl+O"), Cmd(ID_FILE_CLOSE, "&Close"), Sep(),
                      Cmd(ID_FILE_PRINT_SETUP, "P&rint Setup..."),
                      Cmd(ID_FILE_PRINT_PREVIEW, "Print Pre&view of Selected lines"),
                      Cmd(ID_FILE_PRINT, "&Print selected lines..."), Sep(), Recent(), Sep(),
                      Cmd(ID_APP_EXIT, "E&xit")}),
      Popup("&Edit", {Cmd(ID_EDIT_COPY, "Co&py\tCtrl+C"), Cmd(ID_EDIT_SELECT_ALL, "Select &All\tCtrl+A")}),
      InstrumentMenu(),
      Popup("&View", {Cmd(ID_VIEW_TOOLBAR, "&Toolbar"), Cmd(ID_VIEW_STATUS_BAR, "&Status Bar")}),
      Popup("&Window", {Cmd(ID_WINDOW_NEW, "&New Window"), Cmd(ID_WINDOW_CASCADE, "&Cascade"),
                        Cmd(ID_WINDOW_TILE_HORZ, "&Tile"), Cmd(ID_WINDOW_ARRANGE, "&Arrange Icons"), WindowList()}),
      HelpMenu("&About ZK7..."),
  };
}

} // namespace

const std::vector<sMenuItem>& GetMenuLayout(unsigned nMenuId) {
  static const std::vector<sMenuItem> s_aMain = BuildMainMenu();
  static const std::vector<sMenuItem> s_aResults = BuildResultsMenu();
  static const std::vector<sMenuItem> s_aLog = BuildLogMenu();
  static const std::vector<sMenuItem> s_aNone;
  switch (nMenuId) {
    case IDR_MAINFRAME: return s_aMain;
    case IDR_RESULTS: return s_aResults;
    case IDR_LOG: return s_aLog;
    default: return s_aNone;
  }
}

const std::vector<sToolButton>& GetToolBarLayout(unsigned nToolBarId) {
  static const std::vector<sToolButton> s_aMain = {{ID_FILE_OPEN, "Open"}, {0, ""}, {ID_APP_ABOUT, "About"}};
  static const std::vector<sToolButton> s_aResults = {
      {ID_FILE_OPEN, "Open"},
      {ID_FILE_CLOSE, "Close"},
      {0, ""},
      {ID_EDIT_COPY, "Copy"},
      {0, ""},
      {ID_FILE_PRINT, "Print Graph"},
      {ID_FILE_PRINT_PREVIEW, "Graph print preview"},
      {0, ""},
      {ID_CURSORS_TOOLS, "Cursors Tools"},
      {ID_SCALES_TOOLS, "Scales Tools"},
      {ID_ADD_FIXED_MARK, "Add a Fixed Mark"},
      {0, ""},
      {ID_ALL_PANES, "All Panes"},
      {ID_GRAPH_PANE_ONLY, "Graph Pane only"},
      {ID_LIST_PANE_ONLY, "List Pane only"},
      {ID_KEY_PANE_ONLY, "Key Pane only"},
      {0, ""},
      {ID_GRID, "Grid"},
      {ID_LINK_POINTS, "Link Points"},
      {0, ""},
      {ID_HIST_PREVIOUS, "previous measurements"},
      {ID_HIST_NEXT, "next measurements"},
      {ID_ZOOM_BACK, "Zoom Back"},
      {ID_ZOOM_FORWARD, "Zoom Forward"},
      {ID_FOLLOW, "Follow"},
      {0, ""},
      {ID_APP_ABOUT, "About"},
  };
  static const std::vector<sToolButton> s_aLog = {
      {ID_FILE_OPEN, "Open"}, {ID_FILE_CLOSE, "Close"}, {0, ""}, {ID_APP_ABOUT, "About"}};
  static const std::vector<sToolButton> s_aNone;
  switch (nToolBarId) {
    case IDR_MAINFRAME: return s_aMain;
    case IDR_RESULTS: return s_aResults;
    case IDR_LOG: return s_aLog;
    default: return s_aNone;
  }
}

std::string GetCommandStatusText(unsigned nId) {
  if (nId >= ID_FILE_MRU_FILE1 && nId < ID_FILE_MRU_FILE1 + RECENT_FILE_COUNT) return "Open this document";
  switch (nId) {
    case ID_CONNECT: return "Connect to a ZK7 Module";
    case ID_DISCONNECT: return "Disconnect from the instrument";
    case ID_DOWNLOAD_FILES: return "Download results files, log files and configuration";
    case ID_SEND_CONFIGURATION: return "Send a configuration file to a device";
    case ID_LIVE_VIEW: return "Follow the running acquisition's results file in a window as it records";
    case ID_ERROR_CODES: return "Look up the meaning of a module's error code";
    case ID_FILE_OPEN: return "Open an existing document";
    case ID_FILE_CLOSE: return "Close the active document";
    case ID_FILE_PRINT_SETUP: return "Change the printer and printing options";
    case ID_FILE_PRINT: return "Print the graph of the active document";
    case ID_FILE_PRINT_PREVIEW: return "Show the printout of the active document on screen";
    case ID_SAVE_GRAPH_AS: return "Save the graph with a legend of its channels as a PNG, SVG or PDF file";
    case ID_VIEW_STATISTICS: return "Show or hide the statistics of the channels between the cursors";
    case ID_LIST_PRINT_PREVIEW: return "Show the printout of the selected lines on screen";
    case ID_LIST_PRINT: return "Print the selected lines";
    case ID_LIST_EXPORT: return "Write the selected lines to a text file";
    case ID_APP_EXIT: return "Quit the application";
    case ID_APP_ABOUT: return "Display program information, version number and copyright";
    case ID_HELP_FINDER: return "List Help topics";
    case ID_EDIT_COPY: return "Copy the selection and put it on the Clipboard";
    case ID_EDIT_SELECT_ALL: return "Select the entire document";
    case ID_VIEW_TOOLBAR: return "Show or hide the toolbar";
    case ID_VIEW_STATUS_BAR: return "Show or hide the status bar";
    case ID_WINDOW_NEW: return "Open another window for the active document";
    case ID_WINDOW_CASCADE: return "Arrange windows so they overlap";
    case ID_WINDOW_TILE_HORZ: return "Arrange windows as non-overlapping tiles";
    case ID_WINDOW_ARRANGE: return "Arrange icons at the bottom of the window";
    case ID_WINDOW_SPLIT: return "Split the active window into panes";
    case ID_WINDOW_ARRANGE_COLUMNS: return "Arrange the windows side by side in columns";
    case ID_GRAPH_PANE_ONLY: return "Show the graph pane only";
    case ID_LIST_PANE_ONLY: return "Show the list pane only";
    case ID_KEY_PANE_ONLY: return "Show the key pane only";
    case ID_ALL_PANES: return "Show the graph, list and key panes";
    case ID_CURSORS_TOOLS: return "Show or hide the cursors tools";
    case ID_SCALES_TOOLS: return "Show or hide the scales tools";
    case ID_HIST_GLOBAL_VIEW: return "Show the whole historical area";
    case ID_FILE_GLOBAL_VIEW: return "Show the whole results file";
    case ID_FOLLOW: return "Keep the newest records in view while the file grows";
    case ID_GOTO_DATE: return "Go to a date in the list";
    case ID_GOTO_CURSOR1: return "Go to cursor 1 in the list";
    case ID_GOTO_CURSOR2: return "Go to cursor 2 in the list";
    case ID_SELECT_BETWEEN_CURSORS: return "Select the lines between cursors 1 and 2";
    case ID_CURSOR1_FROM_LIST: return "Put cursor 1 on the selected line";
    case ID_CURSOR2_FROM_LIST: return "Put cursor 2 on the selected line";
    case ID_HIST_AREA_FROM_CURSORS: return "Make the area between cursors 1 and 2 the historical area";
    case ID_ADD_FIXED_MARK: return "Add a fixed mark at the cursor";
    case ID_ERASE_FIXED_MARKS: return "Erase all fixed marks";
    case ID_RESOLUTION_1S: return "Show times to the second";
    case ID_RESOLUTION_100MS: return "Show times to the tenth of a second";
    case ID_RESOLUTION_10MS: return "Show times to the hundredth of a second";
    case ID_RESOLUTION_1MS: return "Show times to the millisecond";
    case ID_LINK_POINTS: return "Link the points of the curves";
    case ID_GRID: return "Show or hide the grid";
    case ID_STACKED_VIEW: return "Show each channel in a lane of its own, all on one time axis";
    case ID_FILE_INFORMATION: return "Show the acquisition settings of this results file";
    case ID_HIST_PREVIOUS: return "Show the previous measurements";
    case ID_HIST_NEXT: return "Show the next measurements";
    case ID_ZOOM_BACK: return "Show the view before the last zoom or move";
    case ID_ZOOM_FORWARD: return "Show again the view left by Zoom Back";
    default: return {};
  }
}

const std::vector<sAccelerator>& GetAcceleratorTable(unsigned nTableId) {
  static const std::vector<sAccelerator> s_aMain = {
      {"Ctrl+A", ID_EDIT_SELECT_ALL}, {"Ctrl+C", ID_EDIT_COPY},   {"Ctrl+Ins", ID_EDIT_COPY},
      {"Ctrl+N", ID_FILE_NEW},        {"Ctrl+O", ID_FILE_OPEN},   {"Ctrl+P", ID_FILE_PRINT},
      {"Ctrl+S", ID_FILE_SAVE},       {"Alt+Backspace", ID_EDIT_UNDO}, {"Ctrl+Z", ID_EDIT_UNDO},
      {"F6", ID_NEXT_PANE},           {"Shift+F6", ID_PREV_PANE},
      // The help keys of this platform's applications.
      {"F1", ID_HELP_FINDER},         {"Shift+F1", ID_CONTEXT_HELP},
  };
  static const std::vector<sAccelerator> s_aResults = {
      {"Esc", ID_HIST_GLOBAL_VIEW}, {"F2", ID_HIST_UNUSED_F2}, {"F5", ID_REFRESH},
      {"Alt+Left", ID_ZOOM_BACK},   {"Alt+Right", ID_ZOOM_FORWARD}};
  static const std::vector<sAccelerator> s_aNone;
  switch (nTableId) {
    case IDR_MAINFRAME: return s_aMain;
    case IDR_RESULTS: return s_aResults;
    default: return s_aNone;
  }
}

std::string FormatRecentFileItem(int nIndex, const std::string& strPath) {
  std::string strText = "&" + std::to_string(nIndex + 1) + " ";
  // A '&' in a file name must show as itself, not as a mnemonic.
  for (char c : strPath) {
    strText += c;
    if (c == '&')
      strText += '&';
  }
  return strText;
}

} // namespace zk7
