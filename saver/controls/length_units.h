// Lengths of the front end's forms and controls as pixels: twips (1/1440 inch) for
// places and sizes, points (1/72 inch) for font sizes, at a screen's dots per inch.
#pragma once

namespace sorvanta::controls {

inline constexpr int kTwipsPerInch = 1440;
inline constexpr int kPointsPerInch = 72;
// The standard screen, on which a pixel is 15 twips. The button works at this scale
// whatever the screen's.
inline constexpr int kStandardDotsPerInch = 96;
inline constexpr int kTwipsPerStandardPixel = kTwipsPerInch / kStandardDotsPerInch;

// Twips to pixels, to the nearest pixel with halves to even. A rectangle's edges are
// converted one by one, so that places that meet in twips also meet in pixels.
int pixelsFromTwips(double twips, int dotsPerInch);

// Pixels to twips, to the nearest twip with halves to even; 0 for no dots per inch.
int twipsFromPixels(int pixels, int dotsPerInch);

// Points to a font's character height in pixels, with halves away from zero as the
// platform's own point-to-height rule (MulDiv) has it. This differs from the twips
// rule: at 144 dots per inch 8.25 points are 17 pixels, where 165 twips are 16.
int pixelsFromPoints(double points, int dotsPerInch);

}  // namespace sorvanta::controls
