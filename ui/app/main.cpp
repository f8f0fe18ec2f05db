// Entry point of KVL-Q70.
#include "startup.h"

int main(int argc, char** argv) { return kvl::RunProgram(argc, argv); }
