// gmn2png [--width W] [--height H] INPUT OUTPUT.png
// Engraves a GUIDO Music Notation text (a file, or "-" for standard input) through the score
// builder, writes the pages as one PNG (pages stacked top to bottom) and prints the graphic
// map as JSON on standard output: the notes of all pages, then each page's staves and systems.

#include "notation/music_font.h"
#include "notation/score_pictures.h"

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdio>

namespace {

int Usage()
{
    std::fprintf(stderr, "usage: gmn2png [--width W] [--height H] INPUT OUTPUT.png\n"
                         "INPUT is a file of GUIDO Music Notation, or - for standard input\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    // A command-line tool draws without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);

    int width = 1050, height = 350;
    QStringList positional;
    const QStringList arguments = QCoreApplication::arguments();
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (argument == QLatin1String("--width") || argument == QLatin1String("--height")) {
            bool ok = false;
            const int value = i + 1 < arguments.size() ? arguments.at(i + 1).toInt(&ok) : 0;
            if (!ok || value < 16 || value > 20000) {
                std::fprintf(stderr, "gmn2png: %s needs a number of pixels from 16 to 20000\n",
                             qPrintable(argument));
                return 2;
            }
            (argument == QLatin1String("--width") ? width : height) = value;
            ++i;
        } else if (argument == QLatin1String("-h") || argument == QLatin1String("--help")) {
            Usage();
            return 0;
        } else {
            positional.append(argument);
        }
    }
    if (positional.size() != 2)
        return Usage();

    QFile input;
    bool opened;
    if (positional.at(0) == QLatin1String("-"))
        opened = input.open(stdin, QIODevice::ReadOnly);
    else {
        input.setFileName(positional.at(0));
        opened = input.open(QIODevice::ReadOnly);
    }
    if (!opened) {
        std::fprintf(stderr, "gmn2png: cannot read %s: %s\n", qPrintable(positional.at(0)),
                     qPrintable(input.errorString()));
        return 1;
    }
    const QByteArray gmn = input.readAll();

    Notation::MusicFont::RegisterApplicationFont();
    Notation::ScoreSet scoreSet;
    Notation::ScorePictureBuilder builder;
    builder.setPageSize(width, height);
    if (!builder.build(gmn, scoreSet)) {
        std::fprintf(stderr, "gmn2png: bad gmn code\n");
        return 1;
    }

    const int pages = scoreSet.pages.size();
    QImage picture(width, height * std::max(1, pages), QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::white);
    {
        QPainter painter(&picture);
        for (int p = 0; p < pages; ++p)
            painter.drawPixmap(0, p * height, *scoreSet.pages.at(p).score);
    }
    if (!picture.save(positional.at(1), "PNG")) {
        std::fprintf(stderr, "gmn2png: cannot write %s\n", qPrintable(positional.at(1)));
        return 1;
    }

    // {"pages":N,"elements":[{"type":1,"subtype":10,"page":0,"box":[left,top,right,bottom]},…]}
    // with the notes (type 1, sub-type 10) first, then page by page its staves (type 3) and
    // systems (type 7), each with sub-type 0, in the score builder's order.
    auto number = [](double value) { return QByteArray::number(value, 'g', 10); };
    QByteArray json = "{\"pages\":" + QByteArray::number(pages) + ",\"elements\":[";
    bool first = true;
    auto element = [&](int type, int subtype, int page, const QRectF& box) {
        if (!first)
            json += ',';
        first = false;
        json += "{\"type\":" + QByteArray::number(type) + ",\"subtype\":" + QByteArray::number(subtype) +
                ",\"page\":" + QByteArray::number(page) + ",\"box\":[" + number(box.left()) + ',' +
                number(box.top()) + ',' + number(box.right()) + ',' + number(box.bottom()) + "]}";
    };
    for (int i = 0; i < scoreSet.elementBoxes.size(); ++i)
        element(1, 10, scoreSet.elementPages.value(i), scoreSet.elementBoxes.at(i));
    for (int p = 0; p < pages; ++p) {
        for (int i = 0; i < scoreSet.staffBoxes.size(); ++i) {
            if (scoreSet.staffPages.value(i) == p)
                element(3, 0, p, scoreSet.staffBoxes.at(i));
        }
        for (int i = 0; i < scoreSet.systemBoxes.size(); ++i) {
            if (scoreSet.systemPages.value(i) == p)
                element(7, 0, p, scoreSet.systemBoxes.at(i));
        }
    }
    json += "]}\n";
    std::fwrite(json.constData(), 1, size_t(json.size()), stdout);
    return 0;
}
