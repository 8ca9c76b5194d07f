#include "app/startup.h"

// Command-line arguments are ignored.
int main() { return runValley(); }
