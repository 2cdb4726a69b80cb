#pragma once
// PostureClassifier: tells pen, finger, two fingers, fist and hand apart from the contact size
// of the last four samples of a touch.
//
// Units: contact width and height in board units as the touch source reports them; positions in
// input (table) pixels. The ranges are contact areas (width x height) in the same units squared.
// A recognised posture sticks for the rest of the touch; reset() starts a new touch.

#include <array>

class PostureClassifier {
public:
    enum Posture { PEN = 0, ONE_FINGER = 1, TWO_FINGERS = 2, FIST = 3, HAND = 4, OTHER = 5,
                   NONE = 6 };

    struct Sample {
        int area = 0;
        int width = 0;
        int height = 0;
        int x = 0;
        int y = 0;
    };
    static constexpr int kSamples = 4;

    // (min, max] of the mean contact area for posture k (0 pen ... 4 hand).
    void setRange(int posture, double min, double max);
    double getRangeMin(int posture) const { return rangeMin[posture]; }
    double getRangeMax(int posture) const { return rangeMax[posture]; }

    // Adds one sample and answers the touch posture: NONE until four samples exist.
    int classify(int x, int y, int contactWidth, int contactHeight);
    // Forgets the samples and the postures of the current touch.
    void reset();

    // The posture reported by the call before the last classify (NONE at the start of a touch and
    // until a posture has been reported).
    int getPreviousPosture() const { return previousPosture; }
    int getPosture() const { return posture; }
    int getSampleCount() const { return count; }
    // Samples oldest first; valid for i < getSampleCount().
    const Sample& getSample(int i) const;
    // Integer mean area of the last four samples (0 before four exist).
    int getMeanArea() const { return count < kSamples ? 0 : sumArea / kSamples; }

    // The area counts double near the table's corners: outside the central band in both directions.
    static bool isInCornerRegion(int x, int y);
    // Side of a square contact that classifies as one finger with the one-finger range
    // (min, max] everywhere, corners included; used for contacts that report no size (the mouse,
    // TUIO cursors without a blob). 10 (the board's finger) when the range admits no such side.
    static int fingerContactSide(double min, double max);

private:
    std::array<Sample, kSamples> ring{};
    int next = 0;
    int count = 0;
    int sumArea = 0;
    int sumWidth = 0;
    int sumHeight = 0;
    int posture = NONE;
    int previousPosture = NONE;
    double rangeMin[5] = {};
    double rangeMax[5] = {};
};
