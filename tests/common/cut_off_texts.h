#pragma once
// The texts a window shows cut off: a label, button, check box, tab or combo box whose text is
// wider (or, wrapped, taller) than the room its layout gave it. The tests of the translated
// screens and the tour look for them; a text elided on purpose ("…") is not cut off.

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTabBar>
#include <QTextDocument>
#include <QToolButton>
#include <QWidget>

#include <algorithm>

namespace CutOffTexts {

inline QString Plain(QString text)
{
    return text.remove(QRegularExpression(QStringLiteral("&(?!&)")));
}

inline int Widest(const QFontMetrics& metrics, const QString& text)
{
    int widest = 0;
    for (const QString& line : text.split(QLatin1Char('\n')))
        widest = std::max(widest, metrics.horizontalAdvance(line));
    return widest;
}

inline bool Shown(const QWidget* widget)
{
    return widget->isVisible() && !widget->visibleRegion().isEmpty() && widget->width() > 1 &&
           widget->height() > 1;
}

// What is cut off in `widget`, or an empty text.
inline QString CutOff(QWidget* widget)
{
    constexpr int slack = 1; // rounding of fractional advances
    const auto describe = [widget](const QString& text, int needed, int room) {
        QString name = widget->objectName();
        if (name.isEmpty() && widget->parentWidget())
            name = widget->parentWidget()->objectName() + QStringLiteral("/") +
                   QString::fromLatin1(widget->metaObject()->className());
        return QStringLiteral("%1 \"%2\": needs %3, has %4").arg(name, text.left(60)).arg(needed).arg(room);
    };
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        const QString text = label->text();
        if (text.trimmed().isEmpty() || text.contains(QChar(0x2026)))
            return {};
        const QRect room = label->contentsRect().adjusted(label->margin(), label->margin(), -label->margin(),
                                                          -label->margin());
        const bool rich = label->textFormat() == Qt::RichText ||
                          (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(text));
        if (rich || label->wordWrap()) {
            QTextDocument document;
            document.setDefaultFont(label->font());
            document.setDocumentMargin(0);
            rich ? document.setHtml(text) : document.setPlainText(text);
            if (label->wordWrap()) {
                document.setTextWidth(room.width());
                const int needed = int(document.size().height());
                return needed > room.height() + label->fontMetrics().descent() ? describe(text, needed, room.height())
                                                                              : QString();
            }
            const int needed = int(document.idealWidth());
            return needed > room.width() + slack ? describe(text, needed, room.width()) : QString();
        }
        const int needed = Widest(label->fontMetrics(), Plain(text));
        return needed > room.width() + slack ? describe(text, needed, room.width()) : QString();
    }
    if (auto* tabs = qobject_cast<QTabBar*>(widget)) {
        for (int i = 0; i < tabs->count(); ++i) {
            const int needed = tabs->fontMetrics().horizontalAdvance(Plain(tabs->tabText(i)));
            const int room = tabs->tabRect(i).width() - tabs->style()->pixelMetric(QStyle::PM_TabBarTabHSpace, nullptr, tabs);
            if (tabs->isTabVisible(i) && needed > room + slack)
                return describe(tabs->tabText(i), needed, room);
        }
        return {};
    }
    if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        const int needed = combo->fontMetrics().horizontalAdvance(combo->currentText());
        QStyleOptionComboBox option;
        option.initFrom(combo);
        const int room = combo->style()
                             ->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo)
                             .width();
        return needed > room + slack ? describe(combo->currentText(), needed, room) : QString();
    }
    if (auto* box = qobject_cast<QGroupBox*>(widget)) {
        const int needed = box->fontMetrics().horizontalAdvance(Plain(box->title()));
        return needed > box->width() ? describe(box->title(), needed, box->width()) : QString();
    }
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        const QString text = Plain(button->text());
        if (text.trimmed().isEmpty() || text.contains(QChar(0x2026)))
            return {};
        int needed = Widest(button->fontMetrics(), text);
        if (qobject_cast<QCheckBox*>(button) || qobject_cast<QRadioButton*>(button)) {
            const bool check = qobject_cast<QCheckBox*>(button);
            needed += button->style()->pixelMetric(check ? QStyle::PM_IndicatorWidth : QStyle::PM_ExclusiveIndicatorWidth,
                                                   nullptr, button) +
                      button->style()->pixelMetric(check ? QStyle::PM_CheckBoxLabelSpacing
                                                         : QStyle::PM_RadioButtonLabelSpacing,
                                                   nullptr, button);
        } else if (!button->icon().isNull() &&
                   !(qobject_cast<QToolButton*>(button) &&
                     static_cast<QToolButton*>(button)->toolButtonStyle() == Qt::ToolButtonTextUnderIcon)) {
            needed += button->iconSize().width() + 4;
        }
        const int room = button->contentsRect().width();
        return needed > room + slack ? describe(button->text(), needed, room) : QString();
    }
    return {};
}

// Every text cut off in the shown part of `window` and its shown children.
inline QStringList In(QWidget* window)
{
    QStringList found;
    QList<QWidget*> widgets = window->findChildren<QWidget*>();
    widgets.prepend(window);
    for (QWidget* widget : widgets) {
        if (!Shown(widget))
            continue;
        const QString cut = CutOff(widget);
        if (!cut.isEmpty())
            found << cut;
    }
    return found;
}

} // namespace CutOffTexts
