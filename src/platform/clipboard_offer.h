#pragma once
// Whether Paste has something to paste, known without waiting on another program.
bool ClipboardOffersText();
