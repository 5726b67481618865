#pragma once

namespace velinor {

// Loads Qt's translations for the user's locale, then shows the first
// screen, the administrator gate.
void start();

} // namespace velinor
