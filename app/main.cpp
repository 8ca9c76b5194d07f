#include "app/session.h"

int main(int argc, char** argv) { return valley::runCommandLine(argc, argv); }
