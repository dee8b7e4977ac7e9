// Options > Four-Colour Suits and Large Indices: the built-in faces for players who see
// less well. Both are presence flags in the settings, off by default; a deck file's own
// pictures are shown as they are.
#include "cards/CardArt.h"
#include "table/TSkelda.h"

namespace skelda {

namespace {
const char* const kFourColour = "FourColourSuits";
const char* const kLargeIndices = "LargeIndices";
}  // namespace

void TSkelda::ReadCardStyle() {
    CardStyle style;
    style.fourColour = settings_->Exists(kFourColour);
    style.largeIndices = settings_->Exists(kLargeIndices);
    SetCardStyle(style);
    action(QStringLiteral("FourColourSuits1"))->setChecked(style.fourColour);
    action(QStringLiteral("LargeIndices1"))->setChecked(style.largeIndices);
}

void TSkelda::CardStyleClick() {
    CardStyle style;
    style.fourColour = action(QStringLiteral("FourColourSuits1"))->isChecked();
    style.largeIndices = action(QStringLiteral("LargeIndices1"))->isChecked();
    for (auto [name, on] :
         {std::pair{kFourColour, style.fourColour}, std::pair{kLargeIndices, style.largeIndices}}) {
        if (on)
            settings_->WriteFlag(name);
        else
            settings_->Delete(name);
    }
    SetCardStyle(style);
    if (pixelRatio_ > 0) RenderCardImages();
    Repaint(Area::All);
}

}  // namespace skelda
