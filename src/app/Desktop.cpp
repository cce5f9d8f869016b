#include "app/Desktop.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QStyle>
#include <QStyleFactory>
#include <QTranslator>

namespace velmora {

void setUpDesktop(QTranslator& qtTexts) {
    // The desktop's own style and palette. Fusion only where the desktop names no
    // style of its own and Qt would fall back to its bare "Windows" look.
    if (QApplication::style()->name().compare(QStringLiteral("windows"), Qt::CaseInsensitive) ==
        0) {
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    }
    const QLocale spanish(QLocale::Spanish, QLocale::Spain);
    QLocale::setDefault(spanish);
    if (qtTexts.load(spanish, QStringLiteral("qtbase"), QStringLiteral("_"),
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(&qtTexts);
    }
}

} // namespace velmora
