#pragma once
// Window measures are kept in twips in the settings so that values written
// by earlier versions keep their meaning: 15 twips make one pixel at 96 dpi.
constexpr int TwipsPerPixel = 15;
constexpr int twipsToPixels(int twips)
{
    return twips / TwipsPerPixel;
}
constexpr int pixelsToTwips(int pixels)
{
    return pixels * TwipsPerPixel;
}
