#pragma once
// The program block: what main() runs.

int RunQuillary(int argc, char **argv);
