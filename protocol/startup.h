// The engine's process: start-up, command line, command loop, shutdown.
#pragma once

// Runs the engine and returns the process exit status.
int engine_main(int argc, char** argv);

// Validates and echoes the optional numbers of the command line. Returns -1
// to go on, or the exit status to end the process with.
int parse_command_line(int argc, char** argv);
