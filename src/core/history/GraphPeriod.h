// The history period of the graph: its first choice for a file, the plotted
// record range, paging to earlier and later measurements, and the zoom test.
#pragma once

namespace zk7 {

class CZK7Doc;

struct sHistoryPeriod {
  double dStart = 0.0;  // day-number dates
  double dEnd = 0.0;
};

// At first at most this many values (channels x records) are plotted.
constexpr long long INITIAL_VALUE_LIMIT = 10000000;

// The first record of the initial period: 0, or for a file of more than
// INITIAL_VALUE_LIMIT values the record R - floor(INITIAL_VALUE_LIMIT / C).
int InitialFirstRecord(int nChannels, int nRecords);
// The whole file, or its last floor(INITIAL_VALUE_LIMIT / C) records.
sHistoryPeriod InitialHistoryPeriod(const CZK7Doc& doc);

// The records plotted for a period: from the record nearest to 1 ms before the
// start to the record nearest to the end.
void GetPlottedRecordRange(const CZK7Doc& doc, const sHistoryPeriod& period, int& nFirst, int& nLast);

// Previous and next measurements: the period keeps its length and stops at the
// file's first and last record times. False when nothing changes.
bool CanShowPrevious(const sHistoryPeriod& period, double dFileFirst);
bool CanShowNext(const sHistoryPeriod& period, double dFileLast);
bool ShowPreviousPeriod(sHistoryPeriod& period, double dFileFirst);
bool ShowNextPeriod(sHistoryPeriod& period, double dFileLast);

// Page Up / Page Down over a zoomed view: the visible range moves by three
// quarters of its width and stays inside the period. The points stay loaded.
void PageZoomedRange(double& dMin, double& dMax, const sHistoryPeriod& period, bool bDown);
// Page Up / Page Down over the whole period: the period moves by its length;
// false (nothing happens) when neither new end lies within the file.
bool PagePeriod(sHistoryPeriod& period, double dFileFirst, double dFileLast, bool bDown);

// The view counts as zoomed when it shows less than 90 % of the period, and
// always while an X channel is plotted.
bool IsZoomed(bool bXChannel, const sHistoryPeriod& period, double dXMin, double dXMax);

// The period between the two cursors, whichever is on the left.
sHistoryPeriod PeriodFromCursors(double dX1, double dX2);
// The period of the same length ending at dEnd ("Fixed to" a date).
sHistoryPeriod PeriodEndingAt(const sHistoryPeriod& period, double dEnd);
// The period of dDays days plus dTimeOfDay ending at dEnd; false for a
// negative or unreadable length, which would put the start after the end.
bool PeriodOfLength(double dEnd, double dDays, double dTimeOfDay, sHistoryPeriod& period);

} // namespace zk7
