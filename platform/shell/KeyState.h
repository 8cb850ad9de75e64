#pragma once
// Whether a modifier key is held down and whether a lock key is on.
//
// Modifiers come from the window system. Caps Lock and Num Lock come from the
// keyboard's indicators under X11; elsewhere, and for Insert always, from a
// copy that flips on each press of the key seen by the program.

enum class StateKey { Shift, Control, Alt, CapsLock, NumLock, Insert };

class KeyState {
public:
    // Shift, Control, Alt: held down now.
    static bool isDown(StateKey key);
    // Caps Lock, Num Lock, Insert: switched on.
    static bool isToggled(StateKey key);
    // Flips the copy of a lock key (a Qt::Key); other keys are ignored.
    static void notePress(int qtKey);
    // Watches every key press of the application to keep the copies.
    static void install();
    // Forgets the copies (tests).
    static void reset();
};
