#include "ground/Fonts.h"

#include "ground/ProgramName.h"

#include <QFontDatabase>

#include <cstdio>

const QStringList &gothicFamilyCandidates()
{
    // Gothics whose kana are full-width (IPAGothic, Noto Sans CJK JP,
    // VL PGothic) do not fit the dialog's captions and are left out.
    static const QStringList families = {QStringLiteral("ＭＳ Ｐゴシック"),
                                         QStringLiteral("MS PGothic"), QStringLiteral("IPAPGothic"),
                                         QStringLiteral("TakaoPGothic")};
    return families;
}

namespace
{

// Only the first one installed is asked for: every further family in a
// QFont sends Qt on a slow search for substitutes (a fifth of the start-up).
const QStringList &gothicFamilies()
{
    static const QStringList families = [] {
        for (const QString &family : gothicFamilyCandidates())
            if (QFontDatabase::hasFamily(family))
                return QStringList{family};
        // None installed: leave the choice of a Japanese font to fontconfig,
        // and say so where there is none to choose.
        if (QFontDatabase::families(QFontDatabase::Japanese).isEmpty())
            std::fprintf(stderr,
                         "%s: no Japanese font is installed, so every text shows as empty\n"
                         "boxes; install the package fonts-ipafont-gothic\n",
                         ProgramName);
        return gothicFamilyCandidates();
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
#ifndef Q_OS_WIN
    // FreeType's autohinter first measures the whole CJK font: a twentieth
    // of a start-up's instructions, for no difference a user would see.
    font.setHintingPreference(QFont::PreferNoHinting);
#endif
    return font;
}
