// zvnhost: the reference host of the planetarium's dialog module.
//
//   zvnhost [--command-log FILE] [--tour FEATURES --screenshots DIR]
#include "host/app/HostApplication.h"

int main(int argc, char** argv) { return RunHost(argc, argv); }
