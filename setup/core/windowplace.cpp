#include "windowplace.h"

namespace {

// value * numerator / denominator truncated toward zero, without overflow for any int
// value and the small factors used here.
int ScaleExact(int value, int numerator, int denominator)
{
    return (int)((long long)value * numerator / denominator);
}

WindowPlace Centered(int width, int height, int screenWidth, int screenHeight)
{
    WindowPlace place;
    place.width = width;
    place.height = height;
    place.x = (screenWidth - width) / 2;
    place.y = (screenHeight - height) / 2;
    return place;
}

}  // namespace

WindowPlace CenteredPlace(int screenWidth, int screenHeight)
{
    return Centered(ScaleExact(screenWidth, 2, 5), ScaleExact(screenHeight, 2, 15), screenWidth,
                    screenHeight);
}

WindowPlace UninstallPlace(int textWidth, int screenWidth, int screenHeight)
{
    return Centered(ScaleExact(textWidth, 6, 5), ScaleExact(screenHeight, 2, 15), screenWidth,
                    screenHeight);
}
