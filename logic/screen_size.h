// Screen sizes as the texts the fields show.
#pragma once

#include "profile/text_value.h"
#include "ui/main_window.h"

// The decimal text of a size: no fill, no grouping, a minus only when negative.
TextValue ScreenSizeText(int size);
// The screen width into one field, then the height, each asked for right
// before it is written so that no earlier answer is reused.
void ShowScreenSizeIn(Unit widthField, Unit heightField);
