// The "Settings" record read at start-up: display colours and the kept integers.
#pragma once
#include <array>
#include <cstdint>

namespace zk7 {

class ISettingsStore;

// Display colour indexes (0x00BBGGRR values).
enum : int {
  DISPLAY_COLOUR_ALARM0 = 0,   // 0..4 alarm colours
  DISPLAY_COLOUR_FIXED = 5,    // always 0
  DISPLAY_COLOUR_CURVE1 = 6,   // 6..20 curve colours
  DISPLAY_COLOUR_BACKGROUND = 21,
  DISPLAY_COLOUR_CURSOR1 = 22,
  DISPLAY_COLOUR_CURSOR2 = 23,
  DISPLAY_COLOUR_COUNT = 24,
};

// The colours of a store without a "Settings" section, on a white window background.
inline constexpr std::array<uint32_t, DISPLAY_COLOUR_COUNT> DEFAULT_DISPLAY_COLOURS = {
    0x008000, 0x800000, 0x000080, 0x0000FF, 0x00FFFF,                     // alarms 0..4
    0,                                                                     // fixed
    0x000080, 0x800000, 0x008000, 0x808000, 0x800080, 0x008080, 0x808080,  // curves 1..7
    0x0000FF, 0xFF0000, 0x00FF00, 0xFFFF00, 0xFF00FF, 0x00FFFF, 0xC0C0C0,  // curves 8..14
    0x000000,                                                              // curve 15
    0xFFFFFF,                                                              // background
    0xFF0000, 0x0000FF,                                                    // cursors 1, 2
};

struct sSettingsRecord {
  std::array<uint32_t, DISPLAY_COLOUR_COUNT> m_aDisplayColours = DEFAULT_DISPLAY_COLOURS;
  int m_nFileAcqRun = 3;
  int m_nInstrAcqRun = 3;
  int m_nInstrAcqStop = 2;
  int m_nCxGrid = 10;
  int m_nCyGrid = 10;
  int m_nChanNameLen = 15;
  int m_nChanValLen = 8;
  int m_nChanUnitLen = 4;
  int m_nAlarmMsgLen = 15;
  int m_nChartLen = 1024;
  int m_nMaxHistFileLenKo = 1000;
  int m_nMinHistDurationS = 345600;
  int m_nRwBufferLen = 16 * 1024;   // bytes
  int m_nMaxFlushDelayS = 3600;
  int m_bDisplayDeleted = 0;
  int m_bIncrIndexOnAcqRun = 0;
  int m_bIncrIndexOnFileRun = 0;
  int m_bCalcStatWithMesErr = 0;
  int m_bDispFullResultFile = 0;
  int m_bDispPolyModeCalcul = 0;
};

// Fills the record from the "Settings" section, key by key, each with its default.
// nWindowBackground is the system's window background colour (0x00BBGGRR), the
// default of ColorGraphBackgnd.
void ReadSettings(const ISettingsStore& store, sSettingsRecord& record, uint32_t nWindowBackground = 0xFFFFFF);

// The application's record (filled once at start-up) and its colour lookup.
sSettingsRecord& GetAppSettings();
// Entry 0 for a negative index, entry 23 above 23.
uint32_t GetDisplayColour(int nIndex);
uint32_t GetDisplayColour(const sSettingsRecord& record, int nIndex);
// Display colour of channel c: (c mod 15) + 6.
int GetChannelColourIndex(int nChannel);

} // namespace zk7
