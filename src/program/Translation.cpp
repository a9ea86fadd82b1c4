#include "program/Translation.h"

#include "ground/ProgramName.h"
#include "program/Console.h"

#include <QLocale>
#include <QTranslator>

QString translated(const char *context, const char *text)
{
    static QTranslator translator;
    static const bool loaded =
        localeShowsJapanese() && translator.load(QLocale::system(), QLatin1String(ProgramName),
                                                 QStringLiteral("_"), QStringLiteral(":/i18n"));
    const QString found = loaded ? translator.translate(context, text) : QString();
    return found.isEmpty() ? QString::fromUtf8(text) : found;
}
