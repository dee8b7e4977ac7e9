#include "table/TextPlate.h"

#include <algorithm>
#include <cmath>

namespace skelda {

namespace {
double Linear(double channel) {
    return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}
}  // namespace

double RelativeLuminance(QColor c) {
    return 0.2126 * Linear(c.redF()) + 0.7152 * Linear(c.greenF()) + 0.0722 * Linear(c.blueF());
}

double ContrastRatio(QColor a, QColor b) {
    const double la = RelativeLuminance(a), lb = RelativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

int PlateAlphaOver(QColor brightest) {
    // A little above the minimum, so rounding in the blend never takes it below.
    constexpr double target = MinimumTextContrast + 0.2;
    for (int alpha = 0; alpha < 255; alpha += 3) {
        const double keep = 1.0 - alpha / 255.0;
        const QColor blended = QColor::fromRgbF(static_cast<float>(brightest.redF() * keep),
                                                static_cast<float>(brightest.greenF() * keep),
                                                static_cast<float>(brightest.blueF() * keep));
        if (ContrastRatio(Qt::white, blended) >= target) return alpha;
    }
    return 255;
}

}  // namespace skelda
