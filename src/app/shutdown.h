// The one exit path: release, save, shut SDL down.
#pragma once

// Registered with atexit right after SDL starts; runs on every exit, fatal ones included.
void shutdownHandler();
