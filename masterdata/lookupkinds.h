#pragma once

#include <QString>

namespace velinor {

// What tells the three lookup screens apart. They keep tables whose names
// come from an earlier tyre-shop layout; only the captions say what they hold.
struct LookupKind {
    const char* screen;     // frmCategory, frmPattern, frmSize
    const char* table;      // opened whole, in stored order
    const char* keyField;   // the value itself and the row's identity
    const char* keyBox;     // bound to the key field of the main source
    const char* probeBox;   // hidden, bound to the key field of the probe
    const char* caption;    // window caption
    const char* keyCaption; // above the key box
    const char* newCaption;
    const char* backCaption;
    const char* duplicateMessage;
    const char* noun;       // names the record in failure messages
    bool numeric;           // the key is a number in the user's locale
};

// The kind of the named screen; nullptr for any other name.
const LookupKind* lookupKind(const QString& screen);

} // namespace velinor
