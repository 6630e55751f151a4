#pragma once
// The central area of the main window, in which one screen at a time is shown. The window stack
// manager hands it each screen pushed; it cross-fades from a picture of what was shown to a
// picture of the new screen over 700 ms, and only then puts the screen itself into its layout,
// visible and focused. GUI thread only.

#include <QImage>
#include <QPixmap>
#include <QPointer>
#include <QWidget>

class QTimeLine;
class QVBoxLayout;

namespace UI {

class FaderWidget : public QWidget
{
    Q_OBJECT
public:
    explicit FaderWidget(QWidget* parent = nullptr);

    // Fades from the current content to `widget`, which becomes the content when the fade ends.
    // The widget is taken as a child of the fader.
    void FadeIn(QWidget* widget);
    // The same, taking the current content out of the layout first; with a null widget the fade
    // ends on nothing (transparent).
    void FadeTo(QWidget* widget);
    // Stops a fade and shows `widget` as the content at once.
    void Reset(QWidget* widget);

    // The content in the layout (the widget being faded in becomes it only when the fade ends).
    QWidget* Content() const;
    bool IsFading() const;
    // The fade's time line: frames 30 down to 0 over 700 ms; each frame repaints.
    QTimeLine* TimeLine() const { return timeLine; }

Q_SIGNALS:
    // The fade has ended and `widget` (null after FadeTo(nullptr)) is the content.
    void FadeFinished(QWidget* widget);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void StartFade(QWidget* widget, bool takeOutOldContent);
    void Finish();
    // Makes `widget` (or nothing) the only visible widget of the layout.
    void SetContent(QWidget* widget);
    // A picture of `widget` laid out over the fader, or of the fader itself as it is now, at the
    // fader's size and device pixel ratio.
    QPixmap PictureOf(QWidget* widget);
    QPixmap TransparentPicture() const;

    QTimeLine* timeLine = nullptr;
    QVBoxLayout* contentLayout = nullptr;
    QPointer<QWidget> content;
    QPointer<QWidget> incoming;
    // What was shown when the fade started and what will be shown when it ends.
    QPixmap oldPicture, newPicture;
    // The two pictures as premultiplied images of the painted device's pixels, made on the
    // first frame of a fade, and the blend of the current frame, reused from frame to frame.
    QImage oldImage, newImage, blend;
    enum class Mode
    {
        Idle,
        FadingIn
    } mode = Mode::Idle;
};

} // namespace UI
