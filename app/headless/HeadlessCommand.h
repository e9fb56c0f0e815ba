#pragma once
// The whole of swimmer-headless but for the process: options, output file,
// run, summary. Returns the exit status: 0, 1 when writing failed, 2 on bad
// input (with nothing written).

#include <ostream>
#include <string>
#include <vector>

int RunHeadlessCommand(const std::vector<std::string>& arguments, std::ostream& out,
                       std::ostream& err, bool showProgress);
