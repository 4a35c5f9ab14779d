#pragma once
// The keys a number box takes: digits, typed over one position each; Backspace and "." pass; every other character
// is dropped. Keys that type nothing (arrows, Tab, Delete) are left to the box.

class QKeyEvent;
class QLineEdit;

// True when the key is dropped.
bool dropNumericKey(QLineEdit* box, const QKeyEvent* key);
