#pragma once

struct BatchOptions;

// Exit statuses of pelmora2-batch.
enum BatchExit : int {
    BatchExitPassed = 0,       // every step passed
    BatchExitFailed = 1,       // some step failed (or the report could not be written)
    BatchExitUsage = 2,        // plan or usage error: nothing was run
    BatchExitInterrupted = 130 // Ctrl+C or SIGTERM
};

// Reads and checks the plan, then prints the dry run or runs the plan, writes the report and the log,
// and prints the summary. Needs a running QCoreApplication.
int RunBatchProgram(const BatchOptions &options);
