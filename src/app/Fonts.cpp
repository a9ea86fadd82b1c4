#include "app/Fonts.h"

#include <QFontDatabase>
#include <QStringList>

namespace
{

// The designed font first, then the free gothics that look closest. Only
// the first one installed is asked for: every further family in a QFont
// sends Qt on a slow search for substitutes (a fifth of the start-up).
const QStringList &gothicFamilies()
{
    static const QStringList families = [] {
        const QStringList wanted = {
            QStringLiteral("ＭＳ Ｐゴシック"),  QStringLiteral("MS PGothic"),
            QStringLiteral("IPAPGothic"),       QStringLiteral("IPAGothic"),
            QStringLiteral("Noto Sans CJK JP"), QStringLiteral("VL PGothic"),
            QStringLiteral("TakaoPGothic")};
        for (const QString &family : wanted)
            if (QFontDatabase::hasFamily(family))
                return QStringList{family};
        // None installed: leave the choice of a Japanese font to fontconfig.
        return wanted;
    }();
    return families;
}

} // namespace

QFont gothicFont(int pixelSize)
{
    QFont font;
    font.setFamilies(gothicFamilies());
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize);
    font.setWeight(QFont::Normal);
    return font;
}
