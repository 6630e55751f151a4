#pragma once
// The passes of the tour: the program at one window size, device pixel ratio and language each,
// run in a process of its own. A pass's pictures go to a folder of its name, listed in its index
// file.

#include <QString>

#include <vector>

// In a pass's folder: a line "file<TAB>label" for each picture, in the order they were taken.
inline const char* const IndexFile = "index.tsv";

struct Pass
{
    QString name; // folder name
    QString title;
    int width;
    int height;
    int ratio;
    QString locale = QStringLiteral("en_GB"); // the system's locale the program finds
};

inline const std::vector<Pass>& Passes()
{
    static const std::vector<Pass> passes = {
        {QStringLiteral("1920x1080"), QStringLiteral("1920×1080"), 1920, 1080, 1},
        {QStringLiteral("1366x768"), QStringLiteral("1366×768"), 1366, 768, 1},
        {QStringLiteral("1920x1080@2x"), QStringLiteral("1920×1080, ratio 2"), 1920, 1080, 2},
        // The smallest screen in the languages whose texts run longest.
        {QStringLiteral("1366x768-de"), QStringLiteral("1366×768, Deutsch"), 1366, 768, 1, QStringLiteral("de_DE")},
        {QStringLiteral("1366x768-es"), QStringLiteral("1366×768, Español"), 1366, 768, 1, QStringLiteral("es_ES")},
    };
    return passes;
}
