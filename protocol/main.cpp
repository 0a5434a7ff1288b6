// The tervalk executable: the engine library's process entry.
#include "protocol/startup.h"

int main(int argc, char** argv) { return engine_main(argc, argv); }
