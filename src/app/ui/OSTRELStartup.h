#pragma once

// The program's main routine: single-instance check and forwarding, the
// "-setCurrent" switch, the program's folder as working folder, the check for
// "zedidavurur.ini", the settings mirror, the main window, the command-line
// files and the event loop. Returns the exit code (see CStartup for the codes
// and for headless runs). `argc` must stay alive for the whole run.
int runApplication(int &argc, char **argv);
