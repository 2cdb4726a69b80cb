#include "canvas/PostureClassifier.h"

void PostureClassifier::setRange(int k, double min, double max)
{
    if (k < 0 || k > 4) return;
    rangeMin[k] = min;
    rangeMax[k] = max;
}

bool PostureClassifier::isInCornerRegion(int x, int y)
{
    return (x < 300 || x > 1100) && (y > 700 || y < 230);
}

int PostureClassifier::fingerContactSide(double min, double max)
{
    // The middle of the sides whose area fits the range both plain and doubled, else of those
    // whose plain area fits.
    for (const int factor : {2, 1}) {
        int first = 0, last = 0;
        for (int s = 1; s <= 1000; ++s) {
            const double area = static_cast<double>(s) * s;
            if (min < area && area * factor <= max) {
                if (!first) first = s;
                last = s;
            }
        }
        if (first) return (first + last) / 2;
    }
    return 10;
}

int PostureClassifier::classify(int x, int y, int contactWidth, int contactHeight)
{
    Sample s;
    s.width = contactWidth;
    s.height = contactHeight;
    s.area = contactWidth * contactHeight;
    if (isInCornerRegion(x, y)) s.area *= 2;
    s.x = x;
    s.y = y;

    if (count == kSamples) {
        const Sample& old = ring[next];
        sumArea -= old.area;
        sumWidth -= old.width;
        sumHeight -= old.height;
    } else {
        ++count;
    }
    ring[next] = s;
    next = (next + 1) % kSamples;
    sumArea += s.area;
    sumWidth += s.width;
    sumHeight += s.height;

    previousPosture = posture;
    if (count < kSamples) return posture;

    const int mean = sumArea / kSamples;
    int found = OTHER;
    for (int k = PEN; k <= HAND; ++k) {
        if (rangeMin[k] < mean && mean <= rangeMax[k]) {
            found = k;
            break;
        }
    }
    if (found != OTHER && (previousPosture == found || previousPosture == NONE))
        posture = found;
    else if (previousPosture == OTHER || previousPosture == NONE)
        posture = OTHER;
    // else: the recognised posture stays for the rest of the touch
    return posture;
}

void PostureClassifier::reset()
{
    ring = {};
    next = 0;
    count = 0;
    sumArea = sumWidth = sumHeight = 0;
    posture = NONE;
    previousPosture = NONE;
}

const PostureClassifier::Sample& PostureClassifier::getSample(int i) const
{
    // Oldest first: with a full ring the oldest sits at `next`.
    const int start = count == kSamples ? next : 0;
    return ring[(start + i) % kSamples];
}
