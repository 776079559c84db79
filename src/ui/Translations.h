#pragma once

class QCoreApplication;

namespace vantorelle {

// Shows the program in the session's language (LANGUAGE, LC_ALL, LC_MESSAGES, LANG, as QLocale
// reads them): installs our translation, compiled in, and Qt's own for its standard texts.
// English is the source text: a session that prefers it, or a language we do not ship, gets it.
void installTranslations(QCoreApplication& app);

} // namespace vantorelle
