// The command line of velda-convert: every option and the reading of its
// value, and the exit status of the batch they ask for.
//
//   exit 0  every file was converted
//   exit 1  at least one file failed or was skipped (its output existed)
//   exit 2  the command line was wrong; no file was touched
#pragma once

#include <cstdint>
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

// Read the values of the options: "bmp" or "png" in any case; "1" to "8",
// "10", "11" or "12"; "velda", "msx" or "msx1"; "none", "8", "16", "8x2" or
// "16x2"; "auto", "weave", "blend" or "off"; "raw" or "tv"; "0" to "7"; a
// whole number from 1. Each returns false for anything else.
bool ParseOutputFormat(const char* text, OutputFormat& format);
bool ParseScreenNumber(const char* text, uint8_t& screen);
bool ParseColorRule(const char* text, ColorRule& rule);
bool ParseSprites(const char* text, SpriteOptions& sprites);
bool ParseInterlace(const char* text, Interlace& interlace);
bool ParseAspect(const char* text, Aspect& aspect);
bool ParsePaletteIndex(const char* text, int& index);
bool ParseJobs(const char* text, int& jobs);

enum class CommandAction { Convert, ShowHelp, ShowVersion, UsageError };

// Reads the arguments after the program name. On UsageError `error` says
// what is wrong. Checks the options among themselves and that a --dir
// folder exists; the input files are looked at only when converting.
CommandAction ParseCommandLine(const std::vector<std::string>& args, CommandLine& line, std::string& error);

// The whole program on the arguments after its name; returns the exit
// status.
int RunConverter(const std::vector<std::string>& args);

}  // namespace velda
