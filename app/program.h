// The frame of the program: start-up, the event loop and the end.
#pragma once

// The program's entry: prepares the process, shows MainWindow, runs the
// loop until the window is closed; gives the exit code.
int RunProgram();
// Takes and handles messages until WM_QUIT; gives its exit code.
int RunEventLoop();
// True from the moment the event loop begins.
bool LoopStarted();

// Routines run once, in the order added, when the program ends normally.
void AddEndRoutine(void (*routine)());
void DropEndRoutines();
