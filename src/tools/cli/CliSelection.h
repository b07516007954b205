// The record range and channels that zk7-cli's results commands take:
// --records FIRST-LAST | --from DATETIME --to DATETIME, and --channels 1,3,...
#pragma once
#include <string>
#include <vector>

#include "CliArgs.h"

namespace zk7 {

class CZK7Doc;

struct sCliSelection {
  int nFirst = 0;                 // 0-based, inclusive
  int nLast = -1;
  std::vector<int> aChannels;     // 0-based; empty when --channels is absent
};

// The option specs of the selection, for CCliArgs::Parse.
std::vector<sCliOptionSpec> SelectionOptionSpecs();

// Whole number in [nMin, nMax]; false for anything else.
bool ParseCliInt(const std::string& s, long long nMin, long long nMax, long long& n);
bool ParseCliIntList(const std::string& s, long long nMin, long long nMax, std::vector<int>& a);

// Reads the selection against the document. Returns CLI_OK, or CLI_USAGE /
// CLI_FAILURE after printing the message prefixed by strCommand.
int ReadSelection(const CCliArgs& args, const CZK7Doc& doc, const std::string& strCommand, sCliSelection& sel);

} // namespace zk7
