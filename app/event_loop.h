// Handling of one message taken from the queue, shared by the event loop
// and the wait so both treat keys alike.
#pragma once

#include <windows.h>

// The window's keyboard handling; true when it consumed the message.
bool PreTranslateKeys(const MSG& message);
// Pre-translation, then translation and dispatch unless consumed.
void HandleQueuedMessage(MSG& message);
