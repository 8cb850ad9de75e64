#pragma once
// A short sine tone, for a refusal that needs no message (a move past the
// end of a list). Made once as a WAV file in TempFolder and played through
// the wave sink, so tests see it without a sound device.

void Beep(int hertz, int milliseconds);
