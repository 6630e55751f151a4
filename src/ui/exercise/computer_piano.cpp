#include "ui/exercise/computer_piano.h"

#include <QKeyEvent>

#include <algorithm>
#include <array>

namespace UI {

namespace {

struct PianoKey
{
    quint32 scanCode; // X keyboard key code (evdev code + 8), as xcb and Wayland report it
    int usKey;        // the key's Qt code on a US layout
    char letter;
};

// In window order: the lower row's twelve keys, then the upper row's thirteen.
constexpr std::array<PianoKey, ComputerPiano::KeyCount> Keys{{
    {52, Qt::Key_Z, 'Z'}, {39, Qt::Key_S, 'S'}, {53, Qt::Key_X, 'X'}, {40, Qt::Key_D, 'D'},
    {54, Qt::Key_C, 'C'}, {55, Qt::Key_V, 'V'}, {42, Qt::Key_G, 'G'}, {56, Qt::Key_B, 'B'},
    {43, Qt::Key_H, 'H'}, {57, Qt::Key_N, 'N'}, {44, Qt::Key_J, 'J'}, {58, Qt::Key_M, 'M'},
    {24, Qt::Key_Q, 'Q'}, {11, Qt::Key_2, '2'}, {25, Qt::Key_W, 'W'}, {12, Qt::Key_3, '3'},
    {26, Qt::Key_E, 'E'}, {27, Qt::Key_R, 'R'}, {14, Qt::Key_5, '5'}, {28, Qt::Key_T, 'T'},
    {15, Qt::Key_6, '6'}, {29, Qt::Key_Y, 'Y'}, {16, Qt::Key_7, '7'}, {30, Qt::Key_U, 'U'},
    {31, Qt::Key_I, 'I'},
}};

} // namespace

int ComputerPiano::placeOf(const QKeyEvent& event)
{
    if (event.type() != QEvent::KeyRelease &&
        (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
        return -1;
    const quint32 scanCode = event.nativeScanCode();
    for (size_t place = 0; place < Keys.size(); ++place)
        if (scanCode != 0 ? Keys[place].scanCode == scanCode : Keys[place].usKey == event.key())
            return int(place);
    return -1;
}

QString ComputerPiano::letterOf(int place)
{
    return place >= 0 && place < KeyCount ? QString(QLatin1Char(Keys[size_t(place)].letter)) : QString();
}

int ComputerPiano::noteAt(int place) const
{
    const int note = m_start + place;
    return place >= 0 && place < KeyCount && note >= LowestNote && note <= HighestNote ? note : -1;
}

bool ComputerPiano::shift(int octaves)
{
    const int start = std::clamp(m_start + 12 * octaves, LowestStart, HighestStart);
    if (start == m_start)
        return false;
    m_start = start;
    return true;
}

void ComputerPiano::placeFor(const std::vector<int>& around, const std::vector<int>& asked)
{
    if (around.empty() && asked.empty())
        return;
    const int lowest = *std::min_element(around.empty() ? asked.begin() : around.begin(),
                                         around.empty() ? asked.end() : around.end());
    int start = std::clamp(lowest - lowest % 12, LowestStart, HighestStart);
    if (!asked.empty()) {
        const int askedLow = *std::min_element(asked.begin(), asked.end());
        const int askedHigh = *std::max_element(asked.begin(), asked.end());
        while (askedHigh >= start + KeyCount && askedLow >= start + 12 && start + 12 <= HighestStart)
            start += 12;
    }
    m_start = start;
}

} // namespace UI
