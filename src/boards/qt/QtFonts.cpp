#include "boards/qt/QtFonts.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QScreen>

#include <algorithm>
#include <cstdlib>

namespace celdo {

QFont toQFont(const LogicalFont& font) {
    QFont q(QString::fromStdString(font.faceName));
    q.setPixelSize(font.height == 0 ? 16 : std::abs(font.height));
    if (font.weight > 0)
        q.setWeight(static_cast<QFont::Weight>(std::clamp(font.weight, 1, 1000)));
    q.setItalic(font.italic);
    q.setUnderline(font.underline);
    q.setStrikeOut(font.strikeOut);
    return q;
}

LogicalFont fromQFont(const QFont& font) {
    const QFontInfo info(font);
    LogicalFont record;
    record.faceName = info.family().toStdString();
    record.height = -info.pixelSize();
    record.weight = static_cast<int>(font.weight());
    record.italic = font.italic();
    record.underline = font.underline();
    record.strikeOut = font.strikeOut();
    const QStringList japanese = QFontDatabase::families(QFontDatabase::Japanese);
    record.charSet = japanese.contains(info.family()) ? LogicalFont::ShiftJisCharSet : 0;
    return record;
}

std::vector<FontFamily> InstalledFontFamilies() {
    std::vector<FontFamily> families;
    const QStringList japanese = QFontDatabase::families(QFontDatabase::Japanese);
    for (const QString& name : QFontDatabase::families()) {
        if (QFontDatabase::isPrivateFamily(name))
            continue;
        FontFamily family;
        family.name = name.toStdString();
        family.charSet = japanese.contains(name) ? LogicalFont::ShiftJisCharSet : 0;
        family.scalable = QFontDatabase::isScalable(name);
        if (!family.scalable) {
            // A bitmap family's sizes are points at the screen's resolution.
            const double dpi = QGuiApplication::primaryScreen()
                                   ? QGuiApplication::primaryScreen()->logicalDotsPerInchY()
                                   : 96.0;
            for (int points : QFontDatabase::pointSizes(name))
                family.heights.push_back(static_cast<int>(points * dpi / 72.0 + 0.5));
        }
        families.push_back(std::move(family));
    }
    return families;
}

namespace {

// Fontconfig does not mark every monospace Japanese family as fixed pitch
// (the CJK ones mix half and full widths), so narrow and wide Latin letters
// of equal advance count as well.
bool monospace(const QString& family) {
    if (QFontDatabase::isFixedPitch(family))
        return true;
    QFont font(family);
    font.setPixelSize(24);
    const QFontMetrics metrics(font);
    return QFontInfo(font).family() == family && metrics.horizontalAdvance(QLatin1Char('i')) ==
                                                     metrics.horizontalAdvance(QLatin1Char('M'));
}

// A family named for Japan, rather than one of the other CJK regions that
// can also write Japanese.
bool namedForJapan(const QString& family) {
    static const QRegularExpression japan(QStringLiteral("\\b(JP|Japanese)\\b"));
    return japan.match(family).hasMatch();
}

} // namespace

std::string DefaultTextFace() {
    const QStringList japanese = QFontDatabase::families(QFontDatabase::Japanese);
    QString first;
    for (const QString& name : japanese) {
        if (!monospace(name))
            continue;
        if (namedForJapan(name))
            return name.toStdString();
        if (first.isEmpty())
            first = name;
    }
    if (!first.isEmpty())
        return first.toStdString();
    if (!japanese.isEmpty())
        return japanese.front().toStdString();
    return QFontInfo(QGuiApplication::font()).family().toStdString();
}

} // namespace celdo
