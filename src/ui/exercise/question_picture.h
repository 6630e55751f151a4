#pragma once
// The picture of a shown question on the exercise screen (a music symbol, a key signature, a
// tempo marking, or the question mark while a heard question awaits its answer). It draws the
// compiled-in picture centred in the widget, as large as fits but never larger than its pixels
// allow: the "@2x" file at ratio 1 and the "@4x" file at a higher ratio, where they exist, so
// that the picture has the same size on every screen, up to twice its own, and stays sharp. Used
// by UI::ExerciseScreen. GUI thread.

#include <QPixmap>
#include <QString>
#include <QWidget>

namespace UI {

class QuestionPicture : public QWidget
{
    Q_OBJECT
public:
    static constexpr const char* DefaultPicture = ":/pixmap/exercise/question.png";
    // The height kept free above and below the picture: the action hint, two lines high, shows
    // in the lower band.
    static constexpr int HintBand = 66;

    explicit QuestionPicture(QWidget* parent = nullptr);

    // False (showing nothing) when no picture exists at `path`.
    bool setPicture(const QString& path);
    // Where the picture is drawn, in widget coordinates.
    QRect pictureRect() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_path;
    QPixmap m_picture; // device pixels; its ratio is set to its pixels per logical pixel
};

} // namespace UI
