#include "ui/answer_colours.h"

#include <QApplication>
#include <QRegularExpression>
#include <QWidget>

namespace UI {

namespace {

AnswerColours::Palette inForce = AnswerColours::StandardPalette;

// [palette][kind]. The standard fills are the exercise screen's green and red and the keys' blue;
// the colour-blind ones Okabe and Ito's blue, vermilion and reddish purple.
const QColor fills[2][3] = {
    {QColor(7, 153, 93), QColor(190, 73, 73), QColor(39, 137, 221)},
    {QColor(0, 114, 178), QColor(213, 94, 0), QColor(204, 121, 167)},
};
// Dark enough for 4.5:1 on the score pane's grey (198, 196, 194) and on white.
const QColor texts[2][3] = {
    {QColor(0, 90, 54), QColor(150, 30, 30), QColor(20, 80, 140)},
    {QColor(0, 80, 140), QColor(140, 50, 0), QColor(120, 50, 95)},
};

// The answer kind a style sheet colour stands for, in either palette; -1 for none.
int kindOf(const QColor& colour)
{
    for (int palette = 0; palette < 2; ++palette)
        for (int kind = 0; kind < 3; ++kind)
            if (colour == fills[palette][kind] || colour == texts[palette][kind])
                return kind;
    return -1;
}

QString written(const QColor& colour)
{
    return QStringLiteral("rgb(%1, %2, %3)").arg(colour.red()).arg(colour.green()).arg(colour.blue());
}

// An answer picture's path, with or without the colour-blind folder: the folder up to "pixmap/"
// (1), the name after it (2).
const QRegularExpression& answerPicture()
{
    static const QRegularExpression pattern(QStringLiteral(
        "(pixmap/)(?:colourblind/)?(GKC/(?:green|red|blue)/|btn_multy_(?:green|red)\\b|"
        "progress_(?:main|thin)_(?:green|red)\\b|sausage_(?:green|red)\\b|(?:green|red)_bg\\b)"));
    return pattern;
}

QString withPictures(const QString& text)
{
    if (!text.contains(QLatin1String("pixmap/")))
        return text;
    QString result = text;
    result.replace(answerPicture(), inForce == AnswerColours::ColourBlindPalette
                                        ? QStringLiteral("\\1colourblind/\\2")
                                        : QStringLiteral("\\1\\2"));
    return result;
}

} // namespace

AnswerColours::Palette AnswerColours::palette()
{
    return inForce;
}

AnswerColours* AnswerColours::notifier()
{
    static AnswerColours* const instance = new AnswerColours;
    return instance;
}

void AnswerColours::setPalette(Palette palette)
{
    if (palette == inForce)
        return;
    inForce = palette;
    for (QWidget* widget : QApplication::allWidgets()) {
        const QString sheet = widget->styleSheet();
        const QString turned = styleSheet(sheet);
        if (turned != sheet)
            widget->setStyleSheet(turned);
        widget->update();
    }
    Q_EMIT notifier()->paletteChanged();
}

QColor AnswerColours::colour(Kind kind)
{
    return colour(kind, inForce);
}

QColor AnswerColours::colour(Kind kind, Palette palette)
{
    return fills[palette][kind];
}

QColor AnswerColours::textColour(Kind kind)
{
    return textColour(kind, inForce);
}

QColor AnswerColours::textColour(Kind kind, Palette palette)
{
    return texts[palette][kind];
}

QString AnswerColours::picture(const QString& path)
{
    return withPictures(path);
}

QString AnswerColours::styleSheet(const QString& sheet)
{
    // "color:" (not "background-color:") gives a text colour; any other place a fill.
    static const QRegularExpression colourPattern(
        QStringLiteral("((?<![-\\w])color\\s*:\\s*)?rgb\\(\\s*(\\d+)\\s*,\\s*(\\d+)\\s*,\\s*(\\d+)\\s*\\)"));
    QString result = withPictures(sheet);
    if (!result.contains(QLatin1String("rgb(")))
        return result;
    QString turned;
    int done = 0;
    for (auto it = colourPattern.globalMatch(result); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        const int kind =
            kindOf(QColor(match.captured(2).toInt(), match.captured(3).toInt(), match.captured(4).toInt()));
        if (kind < 0)
            continue;
        const bool text = match.capturedLength(1) > 0;
        turned += result.midRef(done, match.capturedStart() - done);
        turned += match.captured(1) + written(text ? texts[inForce][kind] : fills[inForce][kind]);
        done = match.capturedEnd();
    }
    return done == 0 ? result : turned + result.midRef(done);
}

} // namespace UI
