#include "app/Fonts.h"

#include <QStringList>

QFont gothicFont(int pixelSize)
{
    // First the designed font, then the free gothics that look closest.
    QStringList families;
    families << QStringLiteral("ＭＳ Ｐゴシック") << QStringLiteral("MS PGothic")
             << QStringLiteral("IPAPGothic") << QStringLiteral("IPAGothic")
             << QStringLiteral("Noto Sans CJK JP") << QStringLiteral("VL PGothic")
             << QStringLiteral("TakaoPGothic");
    QFont font;
    font.setFamilies(families);
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize);
    font.setWeight(QFont::Normal);
    return font;
}
