#pragma once
// The whole host program, so that tests can run it as main() does.
int RunHost(int argc, char** argv);
