#pragma once

#include <QString>
#include <string>

class QCoreApplication;

namespace tarvona {

// A text of the windows in the user's language: the English text is the key (one context,
// "Tarvona", in translations/tarvona_<language>.ts). In the C and English locales, and for any
// text without a translation, the English text itself. The files Tarvona writes never pass here.
QString Tr(const char* english);
QString Tr(const std::string& english);

// Loads Tarvona's translation and Qt's own (buttons, file dialog, calendar) for the user's
// language, where there are such; the help follows the same language.
void LoadTranslations(QCoreApplication& app);

}  // namespace tarvona
