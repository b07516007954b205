// zk7-cli commands on files: info, export, error, make-sample.
#pragma once

namespace zk7 {

int RunInfo(int argc, char** argv);
int RunExport(int argc, char** argv);
int RunError(int argc, char** argv);
int RunMakeSample(int argc, char** argv);

} // namespace zk7
