// The primary screen's size in real pixels, as the game draws in them.
#pragma once

int ScreenWidth();
int ScreenHeight();
