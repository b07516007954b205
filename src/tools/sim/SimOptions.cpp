#include "SimOptions.h"

#include "format/NumberScan.h"

#include <algorithm>
#include <cstdint>

namespace zk7 {

namespace {

bool ParseFault(const std::string& strSpec, sFault& fault) {
  size_t nAt = strSpec.rfind('@');
  if (nAt == std::string::npos) return false;
  std::string strWhat = strSpec.substr(0, nAt);
  std::string strWhen = strSpec.substr(nAt + 1);
  size_t nStar = strWhen.find('*');
  if (nStar != std::string::npos) {
    fault.nLimit = LeadingSimInt(strWhen.substr(nStar + 1));
    strWhen.resize(nStar);
  }
  size_t nHash = strWhen.find('#');
  if (nHash != std::string::npos) {
    fault.nFirst = LeadingSimInt(strWhen.substr(nHash + 1));
    strWhen.resize(nHash);
    if (fault.nFirst < 1) return false;
  }
  size_t nEq = strWhat.find('=');
  fault.strKind = strWhat.substr(0, nEq);
  if (nEq != std::string::npos) fault.strArg = strWhat.substr(nEq + 1);
  fault.strRequest = strWhen;
  static const char* kKinds[] = {"stall", "drop", "refuse", "malformed", "no-length", "huge-length",
                                 "long-header", "hostile-names", "status", "empty-key", "drip", "lf-only",
                                 "mixed-eol", "lower-length", "zero-length", "no-status", "upper-ok",
                                 "deep-nesting", "utf8-tail", "refusal-flood"};
  static const char* kRequests[] = {"key", "login", "list", "open", "close", "block",
                                    "status", "start", "stop", "config", "any"};
  bool bKind = false, bRequest = false;
  for (const char* p : kKinds) bKind |= fault.strKind == p;
  for (const char* p : kRequests) bRequest |= fault.strRequest == p;
  return bKind && bRequest;
}

} // namespace

const char* SimUsage() {
  return "usage: zk7-sim --root DIR [--listen HOST:PORT] [--user NAME:PASSWORD]... [--trace FILE]\n"
         "               [--fault KIND[=ARG]@REQUEST[#FIRST][*COUNT]]... [--period MS]\n"
         "Serves DIR as a ZK7 module: DIR/configs, logs, internal, usb and sdcard are its\n"
         "storage devices (usb and sdcard are absent when their folder is). Port 0 picks a\n"
         "free port; the first line printed is 'listening on HOST:PORT'. Without --user the\n"
         "module knows the user admin with the password admin.\n"
         "Faults: stall=MS, drip=MS, drop=N, refuse[=TEXT], malformed, no-length, huge-length[=N],\n"
         "long-header, hostile-names, status=TEXT, empty-key, lf-only, mixed-eol, lower-length,\n"
         "zero-length, no-status, upper-ok, deep-nesting[=N], utf8-tail, refusal-flood;\n"
         "requests: key, login, list, open, close, block, status, start, stop, config, any.\n"
         "FIRST: the first matching request a fault fires on; COUNT: how many times it fires.\n";
}

bool ParseSimOptions(int argc, char** argv, sSimOptions& options, std::string& strError) {
  for (int i = 1; i < argc; ++i) {
    std::string strArg = argv[i];
    auto value = [&](std::string& strValue) {
      if (i + 1 >= argc) {
        strError = "option " + strArg + " needs a value";
        return false;
      }
      strValue = argv[++i];
      return true;
    };
    std::string strValue;
    if (strArg == "--root") {
      if (!value(options.strRoot)) return false;
    } else if (strArg == "--listen") {
      if (!value(strValue)) return false;
      size_t nColon = strValue.rfind(':');
      if (nColon == std::string::npos) {
        strError = "--listen needs HOST:PORT";
        return false;
      }
      options.strHost = strValue.substr(0, nColon);
      options.nPort = LeadingSimInt(strValue.substr(nColon + 1));
    } else if (strArg == "--user") {
      if (!value(strValue)) return false;
      size_t nColon = strValue.find(':');
      if (nColon == std::string::npos) {
        strError = "--user needs NAME:PASSWORD";
        return false;
      }
      options.aUsers[strValue.substr(0, nColon)] = strValue.substr(nColon + 1);
    } else if (strArg == "--trace") {
      if (!value(options.strTrace)) return false;
    } else if (strArg == "--period") {
      if (!value(strValue)) return false;
      options.nPeriodMs = LeadingSimInt(strValue);
      if (options.nPeriodMs < 1) {
        strError = "--period needs a positive number of milliseconds";
        return false;
      }
    } else if (strArg == "--fault") {
      if (!value(strValue)) return false;
      sFault fault;
      if (!ParseFault(strValue, fault)) {
        strError = "unknown fault '" + strValue + "'";
        return false;
      }
      options.aFaults.push_back(fault);
    } else {
      strError = "unknown option " + strArg;
      return false;
    }
  }
  if (options.strRoot.empty()) {
    strError = "--root is required";
    return false;
  }
  if (options.aUsers.empty()) options.aUsers["admin"] = "admin";
  return true;
}

const sFault* TakeFault(const std::vector<sFault>& aFaults, const std::string& strKind,
                        const std::string& strRequest) {
  for (const auto& fault : aFaults) {
    if (fault.strKind != strKind || (fault.strRequest != strRequest && fault.strRequest != "any")) continue;
    if (fault.pnSeen->fetch_add(1) + 1 < fault.nFirst) continue;
    if (fault.nLimit >= 0 && fault.pnFired->fetch_add(1) >= fault.nLimit) continue;
    return &fault;
  }
  return nullptr;
}

int LeadingSimInt(const std::string& str) {
  int64_t n = 0;
  if (ScanIntPrefix(str, n) == 0) return 0;
  return static_cast<int>(std::clamp<int64_t>(n, INT32_MIN, INT32_MAX));
}

} // namespace zk7
