// The command line of velda-convert: options, and the exit status of the
// batch they ask for.
//
//   exit 0  every file was converted
//   exit 1  at least one file failed or was skipped (its output existed)
//   exit 2  the command line was wrong; no file was touched
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "tools/batch.h"

namespace velda {

constexpr int ExitConverted = 0;
constexpr int ExitSomeNotConverted = 1;
constexpr int ExitUsage = 2;

struct CommandLine : BatchOptions {
    bool formatGiven = false;
    bool quiet = false;
    std::vector<std::string> inputs;
};

enum class CommandAction { Convert, ShowHelp, ShowVersion, UsageError };

// Reads the arguments after the program name. On UsageError `error` says
// what is wrong. Checks the options among themselves and that a --dir
// folder exists; the input files are looked at only when converting.
CommandAction ParseCommandLine(const std::vector<std::string>& args, CommandLine& line, std::string& error);

// The whole program on the arguments after its name; returns the exit
// status.
int RunConverter(const std::vector<std::string>& args);

}  // namespace velda
