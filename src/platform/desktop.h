#pragma once
// What the program hands to the desktop: clipboard text, addresses, speech.
#include <QString>
#include <functional>

class Clipboard {
public:
    QString Text() const;
    void SetText(const QString& text) { text_ = text; dirty_ = true; }
    // Puts the text on the desktop clipboard exactly as the program built it.
    void Close();

private:
    QString text_;
    bool dirty_ = false;
};

// Hands an address to the desktop. "dict:///" + a word arrives whole, whatever
// characters the word holds: every one but letters, digits and "-._~" percent-encoded.
void ShowURL(const QString& address);

// Speaks the text; with interrupt, what is being said stops first. Never blocks; with no
// speech engine or no audio device it says nothing.
void Speak(const QString& text, bool interrupt);
// Tests listen to speech requests instead of a speech engine.
void SetSpeechSinkForTesting(std::function<void(const QString&, bool)> sink);
