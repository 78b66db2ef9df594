#pragma once

// Runs quellmoor-cli with the process's arguments; returns the exit status:
// 0 done, 1 error (one line on standard error, no output file touched),
// 2 lines of a 2DA file were left out by the reader.
int runCli(int argc, char** argv);
