#include "notation/gmn_values.h"

#include "notation/gmn_scanner.h"

#include <cctype>
#include <cmath>

namespace Notation::GmnValues {

bool ParseClef(const QByteArray& value, Clef* clef)
{
    if (value == "treble" || value == "g") {
        *clef = {ClefKind::G, 2};
        return true;
    }
    if (value == "bass" || value == "f") {
        *clef = {ClefKind::F, 4};
        return true;
    }
    if (value == "alto" || value == "c") {
        *clef = {ClefKind::C, 3};
        return true;
    }
    if (value == "tenor") {
        *clef = {ClefKind::C, 4};
        return true;
    }
    if (value.size() != 2 || value.at(1) < '1' || value.at(1) > '5')
        return false;
    const int line = value.at(1) - '0';
    switch (value.at(0)) {
    case 'g':
        *clef = {ClefKind::G, line};
        return true;
    case 'f':
        *clef = {ClefKind::F, line};
        return true;
    case 'c':
        *clef = {ClefKind::C, line};
        return true;
    default:
        return false;
    }
}

bool ParseMeter(const QByteArray& value, Meter* meter)
{
    const QByteArray trimmed = value.trimmed();
    if (trimmed == "C") {
        *meter = Meter{4, 4, Meter::Symbol::Common};
        return true;
    }
    if (trimmed == "C/") {
        *meter = Meter{2, 2, Meter::Symbol::Cut};
        return true;
    }
    const int slash = trimmed.indexOf('/');
    if (slash <= 0 || slash > 2 || trimmed.size() - slash - 1 < 1 || trimmed.size() - slash - 1 > 2)
        return false;
    bool okNumerator = false, okDenominator = false;
    const int numerator = trimmed.left(slash).toInt(&okNumerator);
    const int denominator = trimmed.mid(slash + 1).toInt(&okDenominator);
    if (!okNumerator || !okDenominator || numerator < 1 || numerator > 99 || denominator < 1 ||
        denominator > 64)
        return false;
    for (char c : trimmed) {
        if (!GmnScanner::IsDigit(c) && c != '/')
            return false;
    }
    *meter = Meter{numerator, denominator, Meter::Symbol::None};
    return true;
}

bool ParseColour(const QByteArray& value, QColor* colour)
{
    if (value.startsWith("0x") || value.startsWith("0X")) {
        const QByteArray digits = value.mid(2);
        if (digits.size() != 6 && digits.size() != 8)
            return false;
        // toUInt alone would take a sign or blanks ("0x+12345") for a digit.
        for (char c : digits) {
            if (!std::isxdigit(static_cast<unsigned char>(c)))
                return false;
        }
        bool ok = false;
        const uint rgb = digits.toUInt(&ok, 16);
        if (!ok)
            return false;
        *colour = digits.size() == 6 ? QColor::fromRgb(QRgb(rgb))
                                     : QColor::fromRgba(QRgb((rgb >> 8) | (rgb << 24)));
        return true;
    }
    if (value.isEmpty() || value.size() > 32)
        return false;
    for (char c : value) {
        if (!GmnScanner::IsLetter(c) && !GmnScanner::IsDigit(c) && c != '#')
            return false;
    }
    const QColor named(QString::fromLatin1(value));
    if (!named.isValid())
        return false;
    *colour = named;
    return true;
}

bool EngravableDuration(const Duration& duration)
{
    const double value = duration.Whole();
    for (int base = -1; base <= 7; ++base) { // breve … 128th
        const double plain = std::ldexp(1.0, -base);
        double dotted = plain, add = plain;
        for (int dots = 0; dots <= 3; ++dots) {
            if (std::fabs(dotted - value) < 1e-9)
                return true;
            add /= 2.0;
            dotted += add;
        }
    }
    return false;
}

} // namespace Notation::GmnValues
