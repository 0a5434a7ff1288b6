// The setoption command.
#pragma once

void handle_setoption(const char* line);
