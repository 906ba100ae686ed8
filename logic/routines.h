// The routines that MainWindow's events run. Each takes nothing, gives
// nothing and keeps nothing between runs.
#pragma once

// Screen width into 编辑框6, then screen height into 编辑框5.
void ShowScreenResolution();
// Detects both configuration files and shows what each holds.
void ReadGameData();
// Run once when MainWindow has been created, before it is shown.
void MainWindowCreated();
// Writes the game fields into every file found, reads them back and reports.
void BatchSetResolution();
// The screen size into the RA2 fields, and into the RA2MD fields.
void CopyScreenToRa2();
void CopyScreenToRa2md();
// Click routines of the copy buttons.
void Click按钮1();
void Click按钮3();
void Click按钮4();
