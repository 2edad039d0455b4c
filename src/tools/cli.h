// The command line of velda-convert: options, the batch over the input
// files, progress, messages and the exit status.
//
//   exit 0  every file was converted
//   exit 1  at least one file failed or was skipped (its output existed)
//   exit 2  the command line was wrong; no file was touched
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "tools/convert.h"

namespace velda {

constexpr int ExitConverted = 0;
constexpr int ExitSomeNotConverted = 1;
constexpr int ExitUsage = 2;

struct CommandLine {
    ConvertSettings settings;
    bool formatGiven = false;
    std::string output;  // -o: the one output file
    std::string folder;  // -d: the folder for all outputs
    bool quiet = false;
    std::vector<std::string> inputs;
};

enum class CommandAction { Convert, ShowHelp, ShowVersion, UsageError };

// Reads the arguments after the program name. On UsageError `error` says
// what is wrong. Checks the options among themselves and that a --dir
// folder exists; the input files are looked at only when converting.
CommandAction ParseCommandLine(const std::vector<std::string>& args, CommandLine& line, std::string& error);

struct BatchCounts {
    int converted = 0;
    int skipped = 0;
    int failed = 0;
};

// Converts every input of `line`, reporting each problem on `messages` as
// "velda-convert: FILE: reason". Shows a progress line there when
// `showProgress` is set. Returns the counts.
BatchCounts ConvertAll(const CommandLine& line, std::FILE* messages, bool showProgress);

// The whole program on the arguments after its name; returns the exit
// status.
int RunConverter(const std::vector<std::string>& args);

}  // namespace velda
