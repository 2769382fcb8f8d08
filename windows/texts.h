#pragma once

#include <QCoreApplication>
#include <QString>
#include <string>

namespace tarvona {

// The texts of the windows are English, and the English text is the key of its translation in
// the one context "Tarvona" (translations/tarvona_<language>.ts). In the C and English locales,
// and for a text without a translation, the English text itself. The files Tarvona writes never
// pass here.
//
// A text written where it is shown goes through Text::tr, which lupdate reads; a text kept in a
// table is marked QT_TRANSLATE_NOOP("Tarvona", ...) there and goes through Tr where it is shown.
class Text {
    Q_DECLARE_TR_FUNCTIONS(Tarvona)
};
QString Tr(const char* english);
QString Tr(const std::string& english);

// Loads Tarvona's translation and Qt's own (buttons, file dialog, calendar) for the user's
// language, where there are such; the help follows the same language.
void LoadTranslations(QCoreApplication& app);

}  // namespace tarvona
