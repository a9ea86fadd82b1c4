#include "program/Translation.h"

#include "ground/ProgramName.h"

#include <QLocale>
#include <QTranslator>

QString translated(const char *context, const char *text)
{
    static const QTranslator *const translator = [] {
        auto *loaded = new QTranslator;
        if (!loaded->load(QLocale::system(), QLatin1String(ProgramName), QStringLiteral("_"),
                          QStringLiteral(":/i18n")))
            return static_cast<QTranslator *>(nullptr);
        return loaded;
    }();
    const QString found = translator ? translator->translate(context, text) : QString();
    return found.isEmpty() ? QString::fromUtf8(text) : found;
}
