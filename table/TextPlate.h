// Text over the table stays readable: the relative luminance and contrast of colours as
// the accessibility guidelines define them, and how dark a black plate behind white text
// must be over a given background.
#pragma once

#include <QColor>

namespace skelda {

constexpr double MinimumTextContrast = 4.5;

double RelativeLuminance(QColor c);
double ContrastRatio(QColor a, QColor b);
// The least opacity (0..255) of a black plate laid over `brightest` (the per-channel
// largest values of the background) at which white text reaches the minimum contrast.
int PlateAlphaOver(QColor brightest);

}  // namespace skelda
