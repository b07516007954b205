// zk7-sim's command line: the served folder, the address, the users, the trace
// file and the faults that tests inject.
#pragma once
#include <atomic>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace zk7 {

// One injected fault: KIND[=ARG]@REQUEST[#FIRST][*COUNT].
//   stall=MS        wait MS milliseconds before the reply (a late reply)
//   drip=MS         send the reply one byte every MS milliseconds
//   drop=N          send the first N bytes of the reply, then close the connection
//   refuse[=TEXT]   refuse the request (a block: status 1 and TEXT as its message)
//   malformed       answer with XML that does not parse
//   no-length       answer without a Content-Length field
//   huge-length[=N] announce a body of N bytes (default 1 TB), send the real one
//   long-header     send a response header of 100 KiB
//   hostile-names   add names that are not plain names to a listing
//   status=TEXT     answer the status query with TEXT
//   empty-key       answer the key request with an empty key
//   lf-only         end the response header's lines with LF alone
//   mixed-eol       end them with LF and CR LF in turn
//   lower-length    write the length field as "content-length:"
//   zero-length     announce Content-Length 0 and send no body
//   no-status       leave the status attribute out of <request>
//   upper-ok        write the status "OK"
//   deep-nesting=N  answer with elements nested N deep (default 60000)
//   utf8-tail       a UTF-8 answer cut after a lead byte
//   refusal-flood   refuse a block announcing 0xFFFFFFFF bytes of text, and send
//                   text until the client goes (at most 4 GiB)
// REQUEST: key, login, list, open, close, block, status, start, stop, config or any.
// FIRST: the first matching request it fires on, from 1 (default 1).
// COUNT: how many times it fires over the simulator's life (default: always).
struct sFault {
  std::string strKind;
  std::string strArg;
  std::string strRequest;
  int nLimit = -1;
  int nFirst = 1;
  std::shared_ptr<std::atomic<int>> pnSeen = std::make_shared<std::atomic<int>>(0);
  std::shared_ptr<std::atomic<int>> pnFired = std::make_shared<std::atomic<int>>(0);
};

struct sSimOptions {
  std::string strRoot;
  std::string strHost = "127.0.0.1";
  int nPort = 80;
  std::map<std::string, std::string> aUsers;  // name -> password
  std::string strTrace;
  std::vector<sFault> aFaults;
  int nPeriodMs = 1000;  // between records of a live acquisition
};

// False with strError for a command line that cannot be used.
bool ParseSimOptions(int argc, char** argv, sSimOptions& options, std::string& strError);
const char* SimUsage();

// The first fault of that kind that matches the request and may still fire; it
// counts as fired. nullptr when none.
const sFault* TakeFault(const std::vector<sFault>& aFaults, const std::string& strKind,
                        const std::string& strRequest);

// The whole number a fault argument or an option value starts with, 0 when
// none; read without the C library, whose conversions follow the locale.
int LeadingSimInt(const std::string& str);

} // namespace zk7
