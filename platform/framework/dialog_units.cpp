#include "platform/framework/dialog_units.h"

#include "platform/framework/text_util.h"

#include <QFontMetrics>
#include <cstdint>
#include <cstdlib>

namespace platform::detail {

QFont qtFont(const Font& font) {
    static const bool substituted = [] {
        // The Windows dialog font is not installed here; Liberation Sans is
        // metric-compatible with the Windows sans faces.
        QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
        QFont::insertSubstitution(QStringLiteral("MS Shell Dlg"), QStringLiteral("Liberation Sans"));
        return true;
    }();
    (void)substituted;
    QFont out(toQt(font.face));
    out.setPointSize(font.points > 0 ? font.points : 8);
    out.setWeight(static_cast<QFont::Weight>(font.weight >= 1 && font.weight <= 1000 ? font.weight : 400));
    return out;
}

BaseUnits baseUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    const int letters = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    BaseUnits units;
    units.x = (letters / 26 + 1) / 2;
    units.y = metrics.height();
    if (units.x < 1) units.x = 1;
    if (units.y < 1) units.y = 1;
    return units;
}

int mulDiv(int a, int b, int c) {
    if (c == 0) return 0;
    const std::int64_t product = static_cast<std::int64_t>(a) * b;
    const std::int64_t half = std::llabs(c) / 2;
    const bool negative = (product < 0) != (c < 0);
    const std::int64_t magnitude = (std::llabs(product) + half) / std::llabs(c);
    return static_cast<int>(negative ? -magnitude : magnitude);
}

int duToPxX(int du, const BaseUnits& units) { return mulDiv(du, units.x, 4); }
int duToPxY(int du, const BaseUnits& units) { return mulDiv(du, units.y, 8); }
int pxToDuX(int px, const BaseUnits& units) { return mulDiv(px, 4, units.x); }
int pxToDuY(int px, const BaseUnits& units) { return mulDiv(px, 8, units.y); }

}  // namespace platform::detail
