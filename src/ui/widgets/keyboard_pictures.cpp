#include "keyboard_pictures.h"

#include "base_control.h"

#include "ui/answer_colours.h"

#include <QImage>
#include <QLoggingCategory>

#include <algorithm>

namespace {

Q_LOGGING_CATEGORY(keyboardLog, "cantorela.keyboard")

constexpr int PictureCount = 14;
const char* const pictureNames[PictureCount] = {"Afirst",  "C", "C_sharp", "D", "D_sharp", "E", "F",
                                                "F_sharp", "G", "G_sharp", "A", "A_sharp", "B", "Clast"};
constexpr int SetCount = KeyboardPictures::SetCount;
const char* const setNames[SetCount] = {"normal", "hover", "pressed", "green", "red", "blue"};
// The answer sets (green, red, blue) come once more in the colour-blind palette, after the
// standard sets.
constexpr int AnswerSetCount = SetCount - KeyboardPictures::GreenSet;
constexpr int SourceSetCount = SetCount + AnswerSetCount;
// Picture sources of the scaled-picture cache: source set * PictureCount + picture, then the two
// octave highlights.
constexpr int HighlightSource = SourceSetCount * PictureCount;

// The source set that shows `set` in the palette in force.
int sourceSet(int set)
{
    const bool colourBlind = UI::AnswerColours::palette() == UI::AnswerColours::ColourBlindPalette;
    return colourBlind && set >= KeyboardPictures::GreenSet ? SetCount + set - KeyboardPictures::GreenSet : set;
}

// The pictures of all keyboards, kept for the program's life. Pictures are kept at both
// densities, [0] plain and [1] "@2x"; an "@2x" picture that failed to load is left null.
struct SharedPictures
{
    QImage pictures[2][SourceSetCount][PictureCount];
    QImage highlights[2][2];   // left, right
    double highlightWidth = 0; // units

    SharedPictures()
    {
        int missing = 0;
        auto load = [&](QImage* plain, QImage* dense, const QString& path) {
            *plain = BaseControl::loadPicture(path, 1.0).convertToFormat(QImage::Format_ARGB32_Premultiplied);
            const QImage twice = BaseControl::loadPicture(path, 2.0);
            if (!twice.isNull() && twice.devicePixelRatio() == 2.0)
                *dense = twice.convertToFormat(QImage::Format_ARGB32_Premultiplied);
            missing += plain->isNull() ? 1 : 0;
        };
        for (int source = 0; source < SourceSetCount; ++source) {
            const int set = source < SetCount ? source : source - SetCount + KeyboardPictures::GreenSet;
            const QString name = QLatin1String(setNames[set]);
            const QString suffix = set == KeyboardPictures::NormalSet ? QString() : QLatin1Char('_') + name;
            const QString folder = source < SetCount ? QString() : QStringLiteral("colourblind/");
            for (int picture = 0; picture < PictureCount; ++picture)
                load(&pictures[0][source][picture], &pictures[1][source][picture],
                     QStringLiteral(":/pixmap/%1GKC/%2/%3%4.png")
                         .arg(folder, name, QLatin1String(pictureNames[picture]), suffix));
        }
        load(&highlights[0][0], &highlights[1][0], QStringLiteral(":/pixmap/GKC/highlightL"));
        load(&highlights[0][1], &highlights[1][1], QStringLiteral(":/pixmap/GKC/highlightR"));
        highlightWidth = highlights[0][0].width();
        if (missing > 0)
            qCWarning(keyboardLog) << missing << "key pictures are missing from the resources";
    }

    // The source picture of `source` (see HighlightSource), "@2x" when asked and loaded.
    const QImage& sourcePicture(int source, bool dense) const
    {
        const int density = dense ? 1 : 0;
        const QImage& picture = source >= HighlightSource
                                    ? highlights[density][source - HighlightSource]
                                    : pictures[density][source / PictureCount][source % PictureCount];
        return dense && picture.isNull() ? sourcePicture(source, false) : picture;
    }
};

const SharedPictures& sharedPictures()
{
    static const SharedPictures shared;
    return shared;
}

} // namespace

void KeyboardPictures::load()
{
    sharedPictures();
}

double KeyboardPictures::highlightWidth()
{
    return sharedPictures().highlightWidth;
}

KeyboardPictures::KeyboardPictures(const QPointF& scale, qreal ratio) : m_ratio(ratio)
{
    // Scaling a picture down keeps it sharp, scaling it up blurs it: the "@2x" pictures serve
    // whenever a unit covers more than one device pixel.
    m_dense = ratio * std::max(scale.x(), scale.y()) > 1.0 + 1e-9;
    for (int key = 0; key < KeyboardGeometry::KeyCount; ++key)
        m_keyPlaces[size_t(key)] =
            KeyboardGeometry::toDevicePixels(KeyboardGeometry::key(key).pictureArea(), scale, ratio);
}

const QPixmap& KeyboardPictures::keyPicture(int key, PictureSet set)
{
    // The answer sets follow the palette in force.
    const int source = sourceSet(set);
    if (set >= GreenSet && m_answerSources[size_t(set - GreenSet)] != source) {
        m_answerSources[size_t(set - GreenSet)] = source;
        m_keyPictures[size_t(set)].fill(QPixmap());
    }
    QPixmap& picture = m_keyPictures[size_t(set)][size_t(key)];
    if (picture.isNull())
        picture = scaledPicture(source * PictureCount + KeyboardGeometry::key(key).shape, keyPlace(key).size());
    return picture;
}

const QPixmap& KeyboardPictures::highlightPicture(Highlight side, const QSize& pixels)
{
    return scaledPicture(HighlightSource + side, pixels);
}

const QPixmap& KeyboardPictures::scaledPicture(int source, const QSize& pixels)
{
    const quint64 id = quint64(source) << 40 | quint64(pixels.width()) << 20 | quint64(pixels.height());
    auto found = m_scaled.find(id);
    if (found != m_scaled.end())
        return *found;
    const QImage& image = sharedPictures().sourcePicture(source, m_dense);
    QPixmap picture;
    if (!image.isNull() && !pixels.isEmpty())
        picture = QPixmap::fromImage(
            image.size() == pixels ? image
                                   : image.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    picture.setDevicePixelRatio(m_ratio);
    return *m_scaled.insert(id, picture);
}
