#include "notation/score.h"

namespace Notation {

int Pitch::Midi() const
{
    static const int semitones[7] = {0, 2, 4, 5, 7, 9, 11};
    return 12 * (octave + 4) + semitones[step] + alter;
}

double Duration::Whole() const
{
    double length = double(numerator) / double(denominator);
    double add = length;
    for (int i = 0; i < dots; ++i) {
        add /= 2.0;
        length += add;
    }
    return length;
}

} // namespace Notation
