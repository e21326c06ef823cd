#include "gui/app/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QPointer>
#include <QTranslator>

namespace sealwise::gui {

namespace {

constexpr int kEnglishOffset = 900;

// One translator for the whole process, owned by the application object.
QPointer<QTranslator>& InstalledTranslator() {
    static QPointer<QTranslator> translator;
    return translator;
}

}  // namespace

QString LanguageCode(int languageOffset) {
    switch (languageOffset) {
        case 0:
            return "de";
        case 900:
            return "en";
        case 1900:
            return "es";
        case 2900:
            return "fr";
        default:
            return {};
    }
}

bool ApplyQtTranslations(int languageOffset) {
    QPointer<QTranslator>& installed = InstalledTranslator();
    if (installed) {
        QCoreApplication::removeTranslator(installed);
        delete installed;
    }
    const QString code = LanguageCode(languageOffset);
    if (languageOffset == kEnglishOffset || code.isEmpty()) return languageOffset == kEnglishOffset;
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load("qtbase_" + code, QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    installed = translator;
    return true;
}

}  // namespace sealwise::gui
