#pragma once
// The central area of the main window, in which one screen at a time is shown, and the area over
// the exercise screen's score pane, in which the question's overlay is shown. It is handed each
// widget to show; it cross-fades from a picture of what was shown to a picture of the new widget
// over 700 ms, and only then puts the widget itself into its layout, visible and focused. GUI
// thread only.
//
// Only the part where the two pictures differ changes from frame to frame: the fader finds its
// bounding rectangle once per fade, blends and repaints only there, and draws the rest as the
// new picture (where that is transparent, nothing at all), so a fade between two pictures that
// differ in a few notes costs a few small blends.

#include <QImage>
#include <QPointer>
#include <QRect>
#include <QWidget>

#include <vector>

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
    void fadeIn(QWidget* widget);
    // The same, taking the current content out of the layout first; with a null widget the fade
    // ends on nothing (transparent).
    void fadeTo(QWidget* widget);
    // Stops a fade and shows `widget` as the content at once.
    void reset(QWidget* widget);
    // Takes a picture of what is shown now, for the next fade to start from: called before the
    // content changes (a new score on the board) that is then faded in over itself. During a
    // fade nothing is needed: the blend shown is made from pictures taken before the change.
    void holdPicture();

    // The content in the layout (the widget being faded in becomes it only when the fade ends).
    QWidget* content() const;
    bool isFading() const;
    // The fade's time line: frames 30 down to 0 over 700 ms; each frame repaints the part of the
    // fader where the two pictures differ.
    QTimeLine* timeLine() const { return m_timeLine; }

Q_SIGNALS:
    // The fade has ended and `widget` (null after fadeTo(nullptr)) is the content.
    void fadeFinished(QWidget* widget);

protected:
    void paintEvent(QPaintEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void startFade(QWidget* widget, bool takeOutOldContent);
    // The picture holdPicture took, until the next fade starts from it.
    QImage m_heldPicture;
    void finish();
    void updateChangingArea();
    // Makes `widget` (or nothing) the only visible widget of the layout.
    void setContent(QWidget* widget);
    // A picture of `widget` laid out over the fader, or of the fader itself as it is now, at the
    // fader's size and device pixel ratio.
    QImage pictureOf(QWidget* widget);
    // What the fader shows now, at its own size and ratio. During a fade that is the blend of
    // the current frame, made by writing it into the new picture, which is taken for it.
    QImage takePictureNow();
    // A picture of the fader's size and ratio, in a recycled buffer when one fits; transparent,
    // unless `clear` is false for a picture that is about to be painted all over.
    QImage transparentPicture(bool clear);
    // Whether no child but the content is shown: then the idle fader shows just the content,
    // and a fading one just what paintEvent draws.
    bool onlyContentShown() const;
    // Whether a picture of `widget` (or of the idle fader itself) has every pixel painted
    // opaquely: the widget paints all its pixels over the fader's whole rectangle.
    bool paintsWholePicture(const QWidget* widget) const;
    // Keeps the buffer of a picture no longer needed for the next one, unless it is shared.
    void recycle(QImage& picture);
    // Finds, for painting at `ratio` device pixels per pixel, where the two pictures differ and
    // where the new one shows anything; pictures taken at another ratio are scaled first.
    void prepare(qreal ratio);
    const QImage& oldImage() const;
    const QImage& newImage() const;
    // The blend of `frame` over `m_changed`, in `m_blend`.
    void blendFrame(int frame);

    QTimeLine* m_timeLine = nullptr;
    QVBoxLayout* m_contentLayout = nullptr;
    QPointer<QWidget> m_content;
    QPointer<QWidget> m_incoming;
    // What was shown when the fade started and what will be shown when it ends: premultiplied,
    // of the fader's size at its device pixel ratio.
    QImage m_oldPicture, m_newPicture;
    // Made by prepare() for the ratio last painted at: the pictures scaled to it (only when it
    // is not theirs), the bounding rectangles, in its device pixels, of the pixels in which they
    // differ and of the new picture's pixels that are not transparent, and the blend over
    // `m_changed` of frame `m_blendFrame` (-1: none yet).
    qreal m_preparedRatio = 0.0;
    QImage m_scaledOld, m_scaledNew;
    QRect m_changed, m_shown;
    QImage m_blend;
    int m_blendFrame = -1;
    // Buffers of pictures no longer needed, reused for the next pictures so that a fade does
    // not fault in fresh memory; dropped when the fader is hidden.
    std::vector<QImage> m_spares;
    enum class Mode
    {
        Idle,
        FadingIn
    } m_mode = Mode::Idle;
};

} // namespace UI
