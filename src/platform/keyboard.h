#pragma once
// Which keys are down right now, asked by the classic virtual key codes of the
// framework: 51 Backspace, 123 left arrow, 124 right arrow.
class Keyboard {
public:
    static bool AsyncKeyDown(int keyCode);
};

// Watches key presses and releases for the whole application.
void InstallKeyboardObserver();
