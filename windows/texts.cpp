#include "texts.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <cstdlib>
#include <cstring>

namespace tarvona {

QString Tr(const char* english) {
    return QCoreApplication::translate("Tarvona", english);
}

QString Tr(const std::string& english) {
    return Tr(english.c_str());
}

namespace {

// The C library's rule: the locale of messages is LC_ALL, else LC_MESSAGES, else LANG, and in
// the C locale LANGUAGE's list counts for nothing.
bool MessagesInC() {
    const char* locale = nullptr;
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"})
        if (const char* value = std::getenv(name); value && *value) {
            locale = value;
            break;
        }
    return !locale || std::strcmp(locale, "C") == 0 || std::strncmp(locale, "C.", 2) == 0 ||
           std::strcmp(locale, "POSIX") == 0;
}

}  // namespace

void LoadTranslations(QCoreApplication& app) {
    if (MessagesInC()) return;
    auto* own = new QTranslator(&app);
    if (!own->load(QLocale(), "tarvona", "_", ":/tarvona/translations")) {
        delete own;
        // A language Tarvona does not speak: English throughout, calendars and Qt's buttons
        // included, rather than English words around another language's month names.
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        return;
    }
    app.installTranslator(own);
    // The calendars and Qt's own texts in the language of the windows.
    const QLocale language(own->language());
    QLocale::setDefault(language);
    auto* qt = new QTranslator(&app);
    if (qt->load(language, "qtbase", "_", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(qt);
    else
        delete qt;
}

}  // namespace tarvona
