#pragma once
// The right/wrong answer bar of the home screen, of the exercise screen's score summary and of
// the section end dialog: a capsule split into a green part (right answers) and a red part (wrong
// answers) in proportion, each with its count printed on it. The right count is the bar's value;
// the style chosen at construction picks the pictures (0 main, 1 thin, 2 score), the answer
// palette in force when the bar is painted their colours (UI::AnswerColours). GUI thread only.

#include <QPixmap>
#include <QProgressBar>
#include <QRectF>

class Progress : public QProgressBar
{
    Q_OBJECT
public:
    explicit Progress(QWidget* parent = nullptr);
    explicit Progress(int style, QWidget* parent = nullptr);

    // Shows `wrong` wrong and `right` right answers (negative counts are taken as 0). A right count
    // beyond the maximum raises the maximum, so that the count is never dropped by the bar.
    void setValues(int wrong, int right);
    void setMaximumValue(int maximum);
    // Both counts are divided by `divisor` (at least 1) before they are printed, so that a caller
    // may scale the counts up for a finer split and still print the plain counts.
    void setDivisor(int divisor);

    int wrongCount() const { return m_wrong; }
    int rightCount() const { return value(); }
    int divisor() const { return m_divisor; }

    // "3 right, 1 wrong": what a screen reader reads as the bar's value.
    QString text() const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    struct Part
    {
        QRectF target;                          // in the widget, logical pixels
        double sourceLeft = 0, sourceWidth = 0; // share of the picture, as fractions of its width
        QString number;
        bool numberFits = false;
    };

    void loadPictures(double ratio);
    void layOutParts();
    QFont numberFont() const;

    int m_style = 0;
    int m_wrong = 0;
    int m_divisor = 1;

    // The pictures of the style at `m_pictureRatio` (the "@2x" files above ratio 1), in the
    // answer palette `m_picturePalette` (a UI::AnswerColours::Palette).
    double m_pictureRatio = 0;
    int m_picturePalette = 0;
    QPixmap m_background, m_red, m_green;

    // Computed when the size or the counts change.
    Part m_greenPart, m_redPart;
    QFont m_numberFont;
};
