// Pictures of the window chrome and the controls, all drawn from the design's palette.

#include "asset_book.h"
#include "design.h"
#include "pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>
#include <utility>

namespace {

using namespace Design;

QLinearGradient Vertical(const QRectF& rect, const QColor& top, const QColor& bottom)
{
    QLinearGradient gradient(rect.topLeft(), rect.bottomLeft());
    gradient.setColorAt(0, top);
    gradient.setColorAt(1, bottom);
    return gradient;
}

QColor Alpha(QColor colour, int alpha)
{
    colour.setAlpha(alpha);
    return colour;
}

// A rounded panel with a vertical gradient, a one-pixel edge and a soft highlight along its top.
void Panel(QPainter& p, const QRectF& rect, double radius, const QColor& top, const QColor& bottom,
           const QColor& edge)
{
    p.setPen(QPen(edge, Hairline));
    p.setBrush(Vertical(rect, top, bottom));
    p.drawRoundedRect(rect.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    p.setPen(QPen(Alpha(Qt::white, 60), Hairline));
    const QRectF inner = rect.adjusted(1.5, 1.5, -1.5, -1.5);
    QPainterPath shine;
    shine.moveTo(inner.left() + radius, inner.top());
    shine.lineTo(inner.right() - radius, inner.top());
    p.setBrush(Qt::NoBrush);
    p.drawPath(shine);
}

enum class Look
{
    Normal,
    Hover,
    Pressed,
    Disabled
};

// Check-box and radio-button indicators, 13 × 13.
void IndicatorPicture(QPainter& p, const QSizeF& size, bool radio, bool full, Look look)
{
    const QRectF box = QRectF(QPointF(0, 0), size).adjusted(0.5, 0.5, -0.5, -0.5);
    QColor top = QColor(0xfa, 0xfa, 0xfa), bottom = QColor(0xe3, 0xe1, 0xdd), edge = KeyEdge();
    if (full) {
        top = AccentLight();
        bottom = Accent();
        edge = AccentDark();
    }
    if (look == Look::Hover) {
        top = full ? QColor(0xff, 0xd2, 0x86) : QColor(0xff, 0xf4, 0xe4);
        edge = AccentDark();
    } else if (look == Look::Pressed) {
        top = full ? AccentDark() : QColor(0xd6, 0xd3, 0xcd);
        bottom = full ? Accent() : QColor(0xee, 0xec, 0xe8);
        edge = AccentDark();
    } else if (look == Look::Disabled) {
        top = QColor(0xb8, 0xb9, 0xbd);
        bottom = QColor(0xa4, 0xa5, 0xaa);
        edge = Disabled();
    }
    p.setPen(QPen(edge, Hairline));
    p.setBrush(Vertical(box, top, bottom));
    if (radio)
        p.drawEllipse(box);
    else
        p.drawRoundedRect(box, RadiusSmall, RadiusSmall);
    if (!full)
        return;
    const QColor mark = look == Look::Disabled ? QColor(0xee, 0xee, 0xee) : Text();
    if (radio) {
        p.setPen(Qt::NoPen);
        p.setBrush(mark);
        p.drawEllipse(box.center(), size.width() * 0.19, size.height() * 0.19);
    } else {
        QPen pen(mark, size.width() * 0.15, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        const double w = size.width(), h = size.height();
        QPainterPath tick;
        tick.moveTo(w * 0.24, h * 0.52);
        tick.lineTo(w * 0.43, h * 0.71);
        tick.lineTo(w * 0.77, h * 0.30);
        p.drawPath(tick);
    }
}

void HeaderBackground(QPainter& p, const QSizeF& size)
{
    const QRectF rect(QPointF(0, 0), size);
    p.fillRect(rect, Vertical(rect, ToolbarTop(), ToolbarBottom()));
    p.fillRect(QRectF(0, 0, size.width(), 1), Alpha(Qt::white, 28));
    p.fillRect(QRectF(0, size.height() - 2, size.width(), 2), Accent());
}

void TabHighlight(QPainter& p, const QSizeF& size)
{
    const QRectF rect = QRectF(QPointF(0, 0), size).adjusted(2, 4, -2, 0);
    QPainterPath path;
    path.addRoundedRect(rect.adjusted(0, 0, 0, RadiusMedium), RadiusMedium, RadiusMedium);
    p.setClipRect(QRectF(QPointF(0, 0), size));
    p.setPen(Qt::NoPen);
    p.setBrush(Vertical(rect, AccentLight(), Accent()));
    p.drawPath(path);
    p.fillRect(QRectF(rect.left() + RadiusMedium, rect.top() + 1, rect.width() - 2 * RadiusMedium, 1),
               Alpha(Qt::white, 120));
}

void TabHover(QPainter& p, const QSizeF& size)
{
    const QRectF rect = QRectF(QPointF(0, 0), size).adjusted(2, 4, -2, 0);
    QPainterPath path;
    path.addRoundedRect(rect.adjusted(0, 0, 0, RadiusMedium), RadiusMedium, RadiusMedium);
    p.setClipRect(QRectF(QPointF(0, 0), size));
    p.setPen(Qt::NoPen);
    p.setBrush(Vertical(rect, Alpha(Qt::white, 46), Alpha(Qt::white, 14)));
    p.drawPath(path);
    p.fillRect(QRectF(rect.left() + 10, rect.bottom() - 3, rect.width() - 20, 3), Alpha(Accent(), 200));
}

// Full-screen buttons: four corner brackets pointing out (go to full screen) or in (leave it).
void WindowButtonPicture(QPainter& p, const QSizeF& size, bool leave)
{
    const QRectF rect = QRectF(QPointF(0, 0), size).adjusted(1, 1, -1, -1);
    p.setPen(QPen(Alpha(Qt::white, 40), Hairline));
    p.setBrush(Vertical(rect, ControlLight(), Control()));
    p.drawRoundedRect(rect, RadiusMedium, RadiusMedium);
    QPen pen(Text(), 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    const double w = size.width(), h = size.height(), a = w * 0.27, b = w * 0.44, arm = w * 0.16;
    const QPointF corners[4] = {{a, a}, {w - a, a}, {a, h - a}, {w - a, h - a}};
    const QPointF tips[4] = {{b, b}, {w - b, b}, {b, h - b}, {w - b, h - b}};
    for (int i = 0; i < 4; ++i) {
        const QPointF corner = leave ? tips[i] : corners[i];
        const double dx = (i % 2 == 0 ? 1 : -1) * arm * (leave ? -1 : 1);
        const double dy = (i < 2 ? 1 : -1) * arm * (leave ? -1 : 1);
        QPainterPath bracket;
        bracket.moveTo(corner + QPointF(dx, 0));
        bracket.lineTo(corner);
        bracket.lineTo(corner + QPointF(0, dy));
        p.drawPath(bracket);
    }
}

// A small eighth-note mark, the one in front of the tool bar's caption.
void NoteMark(QPainter& p, const QPointF& at, double height, const QColor& colour)
{
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    const double head = height * 0.34;
    p.translate(at);
    p.save();
    p.translate(head * 0.55, height - head * 0.42);
    p.rotate(-20);
    p.drawEllipse(QPointF(0, 0), head * 0.62, head * 0.44);
    p.restore();
    const double stemX = head * 0.55 + head * 0.55;
    p.drawRect(QRectF(stemX - height * 0.035, 0, height * 0.07, height - head * 0.45));
    QPainterPath flag;
    flag.moveTo(stemX, 0);
    flag.cubicTo(stemX + height * 0.05, height * 0.22, stemX + height * 0.42, height * 0.25, stemX + height * 0.22,
                 height * 0.62);
    flag.cubicTo(stemX + height * 0.30, height * 0.34, stemX + height * 0.10, height * 0.30, stemX, height * 0.22);
    flag.closeSubpath();
    p.drawPath(flag);
    p.restore();
}

// The mark in front of the tool bar's caption, where the caption's text begins (the program
// writes the name of the place after it, in the student's language).
void TitleMarkPicture(QPainter& p, const QSizeF& size)
{
    const double h = size.height();
    NoteMark(p, QPointF(4, h * 0.18), h * 0.64, Accent());
}

// Multiple-choice answer buttons: rounded, raised, in the state's colour.
void ChoiceButtonPicture(QPainter& p, const QSizeF& size, const QColor& top, const QColor& bottom,
                         const QColor& edge, bool pressed)
{
    const QRectF rect = QRectF(QPointF(0, 0), size).adjusted(1, 1, -1, -3);
    // Lower lip: the button stands on it, and sinks onto it when pressed.
    p.setPen(Qt::NoPen);
    p.setBrush(Alpha(Qt::black, 70));
    p.drawRoundedRect(rect.translated(0, 2), RadiusMedium + 1, RadiusMedium + 1);
    const QRectF face = pressed ? rect.translated(0, 1.5) : rect;
    Panel(p, face, RadiusMedium + 1, top, bottom, edge);
}

void TimeIconPicture(QPainter& p, const QSizeF& size)
{
    const QPointF centre(size.width() / 2, size.height() / 2 + 0.8);
    const double radius = size.width() * 0.38;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x80, 0x80, 0x80));
    p.drawRoundedRect(QRectF(centre.x() - 1.6, centre.y() - radius - 2.6, 3.2, 2.2), 0.8, 0.8);
    p.setPen(QPen(QColor(0x80, 0x80, 0x80), 1.6));
    p.setBrush(Qt::white);
    p.drawEllipse(centre, radius, radius);
    p.setPen(QPen(WrongAlt(), 1.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(centre, centre + QPointF(0, -radius * 0.62));
    p.drawLine(centre, centre + QPointF(radius * 0.45, radius * 0.2));
}

void FooterBackground(QPainter& p, const QSizeF& size)
{
    const QRectF rect(QPointF(0, 0), size);
    p.fillRect(rect, Vertical(rect, ToolbarTop(), ToolbarBottom()));
    p.fillRect(QRectF(0, 0, size.width(), 1), ToolbarLine());
    // The groove the grip runs along.
    const QRectF groove(0, size.height() / 2 - 2.5, size.width(), 5);
    p.setPen(Qt::NoPen);
    p.setBrush(Alpha(Qt::black, 110));
    p.drawRoundedRect(groove, 2.5, 2.5);
    p.fillRect(QRectF(0, groove.bottom(), size.width(), 1), Alpha(Qt::white, 26));
}

void GripPicture(QPainter& p, const QSizeF& size)
{
    const QPointF centre(size.width() / 2, size.height() / 2);
    const double radius = size.width() / 2 - 1.5;
    p.setPen(Qt::NoPen);
    p.setBrush(Alpha(Qt::black, 80));
    p.drawEllipse(centre + QPointF(0, 1.2), radius, radius);
    QRadialGradient gradient(centre - QPointF(radius * 0.3, radius * 0.4), radius * 1.4);
    gradient.setColorAt(0, AccentLight());
    gradient.setColorAt(1, AccentDark());
    p.setBrush(gradient);
    p.setPen(QPen(AccentDark(), Hairline));
    p.drawEllipse(centre, radius, radius);
    p.setPen(Qt::NoPen);
    p.setBrush(Text());
    p.drawEllipse(centre, radius * 0.32, radius * 0.32);
}

// The grip of a slider that cannot be moved (a quiz): where the lesson stands, in grey.
void LockedGripPicture(QPainter& p, const QSizeF& size)
{
    const QPointF centre(size.width() / 2, size.height() / 2);
    const double radius = size.width() / 2 - 1.5;
    p.setPen(QPen(Alpha(Qt::black, 60), Hairline));
    p.setBrush(QColor(0x8a, 0x8e, 0x98));
    p.drawEllipse(centre, radius, radius);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x5a, 0x5e, 0x68));
    p.drawEllipse(centre, radius * 0.32, radius * 0.32);
}

// Progress bar parts: capsules of the bar's height.
void Capsule(QPainter& p, const QSizeF& size, const QColor& top, const QColor& bottom, bool inset)
{
    const QRectF rect = QRectF(QPointF(0, 0), size).adjusted(0.5, 0.5, -0.5, -0.5);
    const double radius = rect.height() / 2;
    if (inset) {
        p.setPen(QPen(Alpha(Qt::black, 90), Hairline));
        p.setBrush(Vertical(rect, top, bottom));
        p.drawRoundedRect(rect, radius, radius);
        p.setPen(Qt::NoPen);
        p.setBrush(Alpha(Qt::black, 40));
        p.drawRoundedRect(QRectF(rect.left() + 1, rect.top() + 1, rect.width() - 2, rect.height() * 0.35), radius * 0.7,
                          radius * 0.7);
        return;
    }
    p.setPen(Qt::NoPen);
    p.setBrush(Vertical(rect, top, bottom));
    p.drawRoundedRect(rect, radius, radius);
    p.setBrush(Alpha(Qt::white, 55));
    p.drawRoundedRect(QRectF(rect.left() + radius * 0.6, rect.top() + 1, rect.width() - radius * 1.2,
                             rect.height() * 0.38),
                      rect.height() * 0.19, rect.height() * 0.19);
}

// Home-screen backdrop: a deep gradient, a glow, and a staff of five lines sweeping across with
// faint notes on it.
void HomeBackground(QPainter& p, const QSizeF& size)
{
    const QRectF rect(QPointF(0, 0), size);
    p.fillRect(rect, Vertical(rect, BackdropTop(), BackdropBottom()));
    QRadialGradient glow(QPointF(size.width() * 0.78, size.height() * 0.08), size.width() * 0.55);
    glow.setColorAt(0, Alpha(Accent(), 70));
    glow.setColorAt(1, Alpha(Accent(), 0));
    p.fillRect(rect, glow);
    QRadialGradient cool(QPointF(size.width() * 0.1, size.height() * 0.95), size.width() * 0.5);
    cool.setColorAt(0, Alpha(Missed(), 60));
    cool.setColorAt(1, Alpha(Missed(), 0));
    p.fillRect(rect, cool);
    const double w = size.width(), h = size.height(), gap = h * 0.022;
    p.setBrush(Qt::NoBrush);
    for (int line = 0; line < 5; ++line) {
        QPainterPath path;
        const double y = h * 0.60 + line * gap;
        path.moveTo(-10, y + h * 0.06);
        path.cubicTo(w * 0.3, y - h * 0.16, w * 0.62, y + h * 0.14, w + 10, y - h * 0.10);
        p.setPen(QPen(Alpha(Qt::white, 34), std::max(1.0, h / 500.0)));
        p.drawPath(path);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(Alpha(Qt::white, 30));
    const double head = gap * 0.62;
    for (int i = 0; i < 9; ++i) {
        const double t = 0.08 + i * 0.105;
        const double x = w * t;
        // The middle line's height at x, found on its curve (close enough for decoration).
        const double s = t;
        const double y0 = h * 0.60 + 2 * gap;
        const double yCurve = std::pow(1 - s, 3) * (y0 + h * 0.06) + 3 * std::pow(1 - s, 2) * s * (y0 - h * 0.16) +
                              3 * (1 - s) * s * s * (y0 + h * 0.14) + s * s * s * (y0 - h * 0.10);
        const double y = yCurve + ((i * 5) % 7 - 3) * gap * 0.5;
        p.save();
        p.translate(x, y);
        p.rotate(-20);
        p.drawEllipse(QPointF(0, 0), head * 1.35, head);
        p.restore();
        p.drawRect(QRectF(x + head * 1.15, y - gap * 3.4, std::max(1.0, h / 600.0), gap * 3.4));
    }
}

// Section-end backgrounds. The score is printed on them in green ("green"), red ("red") or white
// ("white"), so the first two are light cards framed in their colour and the last one is dark.
void SectionEndBackground(QPainter& p, const QSizeF& size, const QColor& frame, bool dark)
{
    const QRectF rect = QRectF(QPointF(0, 0), size).adjusted(1.5, 1.5, -1.5, -1.5);
    p.setPen(QPen(dark ? Alpha(Qt::black, 120) : frame, dark ? Hairline : 3.0));
    p.setBrush(dark ? Vertical(rect, QColor(0x4a, 0x4f, 0x5c), ToolbarBottom())
                    : Vertical(rect, Card(), QColor(0xf1, 0xef, 0xeb)));
    p.drawRoundedRect(rect, RadiusLarge, RadiusLarge);
    QRadialGradient glow(QPointF(size.width() / 2, size.height() * 0.42), size.width() * 0.45);
    glow.setColorAt(0, Alpha(dark ? QColor(Qt::white) : frame, dark ? 34 : 40));
    glow.setColorAt(1, Alpha(dark ? QColor(Qt::white) : frame, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawRoundedRect(rect, RadiusLarge, RadiusLarge);
    if (!dark) {
        p.setBrush(frame);
        p.drawRoundedRect(QRectF(rect.left() + size.width() * 0.3, rect.top() + 10, size.width() * 0.4, 5), 2.5, 2.5);
    }
}

void PointerArrow(QPainter& p, const QSizeF& size)
{
    const double w = size.width(), h = size.height();
    QPainterPath arrow;
    arrow.moveTo(w * 0.5, h * 0.92);
    arrow.lineTo(w * 0.1, h * 0.48);
    arrow.lineTo(w * 0.34, h * 0.48);
    arrow.lineTo(w * 0.34, h * 0.08);
    arrow.lineTo(w * 0.66, h * 0.08);
    arrow.lineTo(w * 0.66, h * 0.48);
    arrow.lineTo(w * 0.9, h * 0.48);
    arrow.closeSubpath();
    p.setPen(QPen(Alpha(Qt::black, 90), Hairline, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Vertical(QRectF(0, 0, w, h), MissedLight(), Missed()));
    p.drawPath(arrow);
}

// Difficulty level buttons: the level's number over five bars of which N are lit. The band
// above the number is left free for the word "level", which the program writes in the student's
// language.
void LevelButtonPicture(QPainter& p, const QSizeF& size, int level)
{
    const QRectF rect = QRectF(QPointF(0, 0), size).adjusted(1, 1, -1, -3);
    p.setPen(Qt::NoPen);
    p.setBrush(Alpha(Qt::black, 80));
    p.drawRoundedRect(rect.translated(0, 2), RadiusLarge, RadiusLarge);
    Panel(p, rect, RadiusLarge, ControlLight(), ControlDark(), Alpha(Qt::black, 120));
    p.setPen(Text());
    p.setFont(TextFont(size.height() * 0.36, QFont::Black));
    p.drawText(QRectF(rect.left(), rect.top() + size.height() * 0.22, rect.width(), size.height() * 0.4),
               Qt::AlignCenter, QString::number(level));
    const double barWidth = size.width() * 0.1, gap = size.width() * 0.04;
    const double total = 5 * barWidth + 4 * gap, left = (size.width() - total) / 2;
    const double base = rect.bottom() - size.height() * 0.1;
    for (int i = 0; i < 5; ++i) {
        const double barHeight = size.height() * (0.06 + 0.03 * i);
        const QRectF bar(left + i * (barWidth + gap), base - barHeight, barWidth, barHeight);
        p.setBrush(i < level ? Accent() : Alpha(Qt::white, 45));
        p.drawRoundedRect(bar, 1.5, 1.5);
    }
}

} // namespace

void AddInterfacePictures(AssetBook& book)
{
    const QString pix = QStringLiteral("PIX/pixmap/");
    const struct
    {
        const char* name;
        Look look;
    } looks[] = {{"normal", Look::Normal}, {"hover", Look::Hover}, {"pressed", Look::Pressed}, {"disable", Look::Disabled}};
    for (const char* kind : {"checkbox", "radio"}) {
        for (const char* fill : {"empty", "full"}) {
            for (const auto& look : looks) {
                const bool radio = QByteArray(kind) == "radio", full = QByteArray(fill) == "full";
                const Look state = look.look;
                book.AddPicture(pix + QStringLiteral("%1_%2_%3.png").arg(kind, fill, look.name), Indicator,
                                [=](QPainter& p, const QSizeF& s) { IndicatorPicture(p, s, radio, full, state); });
            }
        }
    }
    book.AddPicture(pix + "header_bg.png", Header, HeaderBackground);
    book.AddPicture(pix + "highlight_orange.png", Tab, TabHighlight);
    book.AddPicture(pix + "tab_hover.PNG", Tab, TabHover);
    book.AddPicture(pix + "exitfull_normal.png", WindowButton,
                    [](QPainter& p, const QSizeF& s) { WindowButtonPicture(p, s, true); });
    book.AddPicture(pix + "backtofull_normal.png", WindowButton,
                    [](QPainter& p, const QSizeF& s) { WindowButtonPicture(p, s, false); });
    book.AddPicture(pix + "title_mark.png", TitleMark, TitleMarkPicture);
    const struct
    {
        const char* state;
        QColor top, bottom, edge;
        bool pressed;
    } choices[] = {{"normal", ControlLight(), Control(), ControlDark(), false},
                   {"hover", QColor(0x76, 0x7d, 0x8c), ControlLight(), Accent(), false},
                   {"pressed", Control(), ControlDark(), AccentDark(), true}};
    for (const auto& choice : choices) {
        const auto c = choice;
        book.AddPicture(pix + "btn_multy_" + choice.state + ".png", ChoiceButton,
                        [c](QPainter& p, const QSizeF& s) { ChoiceButtonPicture(p, s, c.top, c.bottom, c.edge, c.pressed); });
    }
    // The marked answers, in each palette: white text lies on them.
    for (const AnswerPalette& palette : AnswerPalettes()) {
        for (const auto& [state, shades] : {std::pair{"green", palette.rightButton}, std::pair{"red", palette.wrongButton}}) {
            const AnswerShades c = shades;
            book.AddPicture(palette.Path(pix + "btn_multy_" + state + ".png"), ChoiceButton,
                            [c](QPainter& p, const QSizeF& s) { ChoiceButtonPicture(p, s, c.light, c.face, c.edge, false); });
        }
    }
    book.AddPicture(pix + "time.png", TimeIcon, TimeIconPicture);
    book.AddPicture(pix + "footer_bg.png", Footer, FooterBackground);
    book.AddPicture(pix + "grip.png", Grip, GripPicture);
    book.AddPicture(pix + "grip_locked.png", Grip, LockedGripPicture);
    const struct
    {
        const char* style;
        QSize size;
        bool sausage;
    } bars[] = {{"main", ProgressMain, false}, {"thin", ProgressThin, false}, {"score", ProgressScore, true}};
    for (const auto& bar : bars) {
        const QString prefix = bar.sausage ? QStringLiteral("sausage_") : QStringLiteral("progress_%1_").arg(bar.style);
        book.AddPicture(pix + QStringLiteral("progress_%1_bg.png").arg(bar.style), bar.size,
                        [](QPainter& p, const QSizeF& s) { Capsule(p, s, QColor(0x2a, 0x2d, 0x34), QColor(0x45, 0x49, 0x53), true); });
        for (const AnswerPalette& palette : AnswerPalettes()) {
            const AnswerShades wrong = palette.wrongBar, right = palette.rightBar;
            book.AddPicture(palette.Path(pix + prefix + "red.png"), bar.size,
                            [wrong](QPainter& p, const QSizeF& s) { Capsule(p, s, wrong.light, wrong.face, false); });
            book.AddPicture(palette.Path(pix + prefix + "green.png"), bar.size,
                            [right](QPainter& p, const QSizeF& s) { Capsule(p, s, right.light, right.face, false); });
        }
    }
    book.AddPicture(pix + "main_bg.png", Home, HomeBackground);
    book.AddPicture(pix + "main_bg_big.png", HomeBig, HomeBackground);
    for (const AnswerPalette& palette : AnswerPalettes()) {
        const QColor right = palette.rightFrame, wrong = palette.wrongFrame;
        book.AddPicture(palette.Path(pix + "green_bg.png"), SectionEnd,
                        [right](QPainter& p, const QSizeF& s) { SectionEndBackground(p, s, right, false); });
        book.AddPicture(palette.Path(pix + "red_bg.png"), SectionEnd,
                        [wrong](QPainter& p, const QSizeF& s) { SectionEndBackground(p, s, wrong, false); });
    }
    book.AddPicture(pix + "white_bg.png", SectionEnd, [](QPainter& p, const QSizeF& s) {
        SectionEndBackground(p, s, ToolbarBottom(), true);
    });
    book.AddPicture(pix + "pointer.png", Pointer, PointerArrow);
    for (int level = 1; level <= 5; ++level)
        book.AddPicture(QStringLiteral("pixmap/btn_reset_%1_normal.png").arg(level), LevelButton,
                        [level](QPainter& p, const QSizeF& s) { LevelButtonPicture(p, s, level); });
}
