// vexhost's entry on POSIX: the arguments arrive as UTF-8 already.
#include "testhost/main.h"

int main(int argc, char** argv) { return VexhostMain(std::vector<std::string>(argv + 1, argv + argc)); }
