#include "look.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QStringList>

QFont narrowFont(qreal capHeight, QFont::Weight weight)
{
    // The first of these that is installed; the committed pictures were drawn with the first.
    static const QStringList families = {
        QStringLiteral("Nimbus Sans Narrow"),
        QStringLiteral("Liberation Sans Narrow"),
        QStringLiteral("Arial Narrow"),
        QStringLiteral("DejaVu Sans Condensed"),
    };
    QFont font;
    for (const QString &family : families) {
        // Installed families may carry their foundry, as in "Nimbus Sans Narrow [urw]".
        font.setFamily(family);
        if (QFontInfo(font).family().startsWith(family, Qt::CaseInsensitive))
            break;
    }
    font.setWeight(weight);
    font.setStretch(QFont::Unstretched);
    font.setHintingPreference(QFont::PreferNoHinting);

    // Cap heights scale with the pixel size, so one measurement at a large size is enough.
    const qreal probeSize = 100;
    font.setPixelSize(int(probeSize));
    const qreal capAtProbe = QFontMetricsF(font).capHeight();
    font.setPixelSize(qMax(1, qRound(probeSize * capHeight / capAtProbe)));
    return font;
}
