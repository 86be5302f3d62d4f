#pragma once

// Whether the program's standard error goes to an interactive terminal (a console window), where a
// progress line may be rewritten in place; false for a file or a pipe.
bool StandardErrorIsTerminal();

// The width of that terminal in characters, read anew on each call (the user may resize it); 0 when
// standard error is no terminal or the width is unknown.
int StandardErrorColumns();
