#include "workspace/SplashAnimation.h"

#include <algorithm>

SplashAnimation::SplashAnimation(int& sharedCreditIndex, int credits)
    : creditIndex(sharedCreditIndex), numCredits(std::max(1, credits))
{
}

void SplashAnimation::start(double seconds)
{
    durationSeconds = seconds;
    elapsedMs = 0;
    previousElapsedMs = 0;
    titleOffset = 310;
    creditOffset = -300;
    versionOffset = -400;
}

bool SplashAnimation::advance()
{
    previousElapsedMs = elapsedMs;
    elapsedMs += stepMs;
    if (elapsedMs / 1000.0 >= durationSeconds)
        return false;

    if (elapsedMs <= 2000)
        titleOffset -= 8;
    if (showsFirstCredit())
        creditOffset += 6;
    // The version line stops once in place, however long the window stays.
    if (showsVersion() && versionOffset < 0)
        versionOffset += 8;
    if (showsCreditsByTurn() && elapsedMs % creditTurnMs == 0)
        creditIndex = (creditIndex + 1) % numCredits;
    return true;
}

int SplashAnimation::getTitleDrop() const
{
    return std::max(0, titleOffset);
}

int SplashAnimation::getCreditLift() const
{
    return std::max(0, -creditOffset);
}

int SplashAnimation::getVersionShift() const
{
    return std::max(0, -versionOffset);
}

float SplashAnimation::getFadeLevel() const
{
    return std::min(1.0f, (float)elapsedMs / (float)fadeInMs);
}
