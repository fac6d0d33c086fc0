#pragma once

/** The timeline of the about window, one 30 ms step at a time: the product name falling into
    place, the first credit line dropping in, the version line sliding in from the left, the
    credit lines taking turns from 6 s on, the drawn fade-in, and the end of the window's time.

    Everything moves with the steps of the window's timer, never with how often the window
    happens to be painted, so a slow or busy display shows the same frames, only later. */
class SplashAnimation
{
public:
    static constexpr int stepMs = 30;
    static constexpr int fadeInMs = 3200;

    /** The credit index is kept by the caller (for the about window, for the whole run), so that
        a later window goes on where an earlier one stopped. */
    SplashAnimation(int& creditIndex, int numCredits);

    /** Starts the timeline: the texts at their starting places, nothing elapsed. */
    void start(double durationSeconds);

    /** One step of the timer; false when the window's time is up. */
    bool advance();

    int getElapsedMs() const { return elapsedMs; }
    double getDurationSeconds() const { return durationSeconds; }

    /** How far the product name is moved down (0 when in place). */
    int getTitleDrop() const;
    /** How far the first credit line is moved up (0 when in place). */
    int getCreditLift() const;
    /** How far the version line is moved left (0 when in place). */
    int getVersionShift() const;

    bool showsFirstCredit() const { return elapsedMs >= 900 && elapsedMs < creditsByTurnMs; }
    bool showsCreditsByTurn() const { return elapsedMs >= creditsByTurnMs; }
    bool showsVersion() const { return elapsedMs >= 2400; }
    /** The credit line that takes its turn now. */
    int getCreditIndex() const { return creditIndex; }
    /** How far the window has faded in, 0 (dark) to 1 (fully shown). */
    float getFadeLevel() const;
    /** After the first 6 s only the credit line changes, so only its box needs painting. */
    bool onlyCreditChanges() const { return previousElapsedMs > creditsByTurnMs - stepMs; }

private:
    static constexpr int creditsByTurnMs = 6000;
    static constexpr int creditTurnMs = 3900;

    int& creditIndex;
    const int numCredits;
    double durationSeconds = 0.0;
    int elapsedMs = 0;
    int previousElapsedMs = 0;
    int titleOffset = 0;
    int creditOffset = 0;
    int versionOffset = 0;
};
