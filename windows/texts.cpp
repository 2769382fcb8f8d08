#include "texts.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace tarvona {

QString Tr(const char* english) {
    return QCoreApplication::translate("Tarvona", english);
}

QString Tr(const std::string& english) {
    return Tr(english.c_str());
}

void LoadTranslations(QCoreApplication& app) {
    const QLocale locale;
    auto* own = new QTranslator(&app);
    if (!own->load(locale, "tarvona", "_", ":/tarvona/translations")) {
        delete own;
        return;  // Qt's texts stay English beside ours
    }
    app.installTranslator(own);
    auto* qt = new QTranslator(&app);
    if (qt->load(locale, "qtbase", "_", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        app.installTranslator(qt);
    else
        delete qt;
}

}  // namespace tarvona
