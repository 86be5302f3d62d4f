#pragma once

// Whether the program's standard error goes to an interactive terminal (a console window), where a
// progress line may be rewritten in place; false for a file or a pipe.
bool StandardErrorIsTerminal();
