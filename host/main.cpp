// zvnhost: the reference host of the planetarium's dialog module.
//
//   zvnhost [--command-log FILE] [--cloud-url-base URL] [--cloud-url-reg URL]
//           [--tour FEATURES --screenshots DIR]
#include "host/app/HostApplication.h"

int main(int argc, char** argv) { return RunHost(argc, argv); }
