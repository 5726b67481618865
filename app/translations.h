#pragma once

#include <QLocale>

namespace velinor {

// Qt's own dialogs (file, print, page set-up, the questions they ask) speak
// the user's language: Qt's translations for the locale, from Qt's
// translations folder. The program's own texts are not translated. Loading
// again replaces what was loaded before. False when there are none for the
// locale (English needs none).
bool loadQtTranslations(const QLocale& locale = QLocale());

} // namespace velinor
