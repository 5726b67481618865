#pragma once

#include <QString>

class QWidget;

// How screens hand over to each other. A screen is a top-level window named
// for what it shows; one instance of each at most, created on first use and
// deleted when unloaded. The target is shown before the screen that was left
// is unloaded, so one screen is always open; the program ends when the last
// one closes. Closing a screen by any path runs its unload handler (its
// closeEvent).
namespace velinor::nav {

// Shows the named screen, creating it if needed. Returns nullptr when it
// could not be created; the user has been told why. A new screen is centred
// on the active window, or on the desktop when there is none.
QWidget* show(const QString& name);

// Shows the named screen, then unloads `from`. When the target cannot be
// created, `from` stays open. A new screen takes `from`'s place.
QWidget* go(QWidget* from, const QString& name);

// Unloads the screen and creates and shows it anew, in the same place.
QWidget* restart(QWidget* screen);

void unload(QWidget* screen);

// The open instance of the named screen, or nullptr.
QWidget* find(const QString& name);

// Marks a screen that opens over the others (Dati Azienda) rather than in
// the place of one. It does not keep the program going: when the last other
// screen closes, it closes too, and so does any report window left open.
void markOverlay(QWidget* screen);

} // namespace velinor::nav
