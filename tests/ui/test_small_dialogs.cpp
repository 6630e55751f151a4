// The main window's small dialogs: the news shown strictly as plain text and cut to a sane
// length, the guide and the credits from the resources, the rating request's counting, its
// persisted "Don't ask again" and its rating address, Escape and the layout at 1280 × 720, and
// the splash painting at once. Settings live in a temporary home folder.
//
// With CANTORELA_PICTURE_DIR set, pictures() saves every dialog as PNG over a dark window of
// CANTORELA_PICTURE_SIZE (default 1366x768); run it with QT_SCALE_FACTOR=2 for ratio 2.

#include "core/news_item.h"
#include "ui/about_dialog.h"
#include "ui/help_dialog.h"
#include "ui/interface_fonts.h"
#include "ui/mail_dialog.h"
#include "ui/rating_dialog.h"
#include "ui/splash_dialog.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QDir>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTextBrowser>
#include <QtTest>

#include <functional>

namespace {

// The main window's look under the dialogs: the home backdrop under a dark tool bar.
class DarkWindow : public QWidget
{
protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.drawPixmap(rect(), QPixmap(QStringLiteral(":/PIX/pixmap/main_bg_big.png")));
        QLinearGradient bar(0, 0, 0, 56);
        bar.setColorAt(0, QColor(0x34, 0x37, 0x40));
        bar.setColorAt(1, QColor(0x1e, 0x20, 0x26));
        painter.fillRect(0, 0, width(), 56, bar);
        painter.setPen(Qt::white);
        painter.setFont(QFont(QStringLiteral("Lato"), 14, QFont::Bold));
        painter.drawText(QRect(24, 0, 400, 56), Qt::AlignVCenter, QStringLiteral("Cantorela"));
    }
};

QString Home(const QString& path)
{
    return QString(path).replace(QDir::homePath(), QStringLiteral("~"));
}

} // namespace

class TestSmallDialogs : public QObject
{
    Q_OBJECT

    QTemporaryDir home;
    std::unique_ptr<QWidget> window;

    UI::CardDialog* Create(const QString& kind)
    {
        if (kind == QLatin1String("about"))
            return new UI::AboutDialog(window.get());
        if (kind == QLatin1String("help"))
            return new UI::HelpDialog(window.get());
        if (kind == QLatin1String("rating"))
            return new UI::RatingDialog(QUrl(QStringLiteral("https://example.org")), nullptr, window.get());
        auto* mail = new UI::MailDialog(window.get());
        mail->SetNews(QStringLiteral("Spring concert"),
                      QStringLiteral("The new version has a tempo trainer.\n\nPractise a little every day."));
        return mail;
    }

    static void ShowFully(UI::BaseDialog* dialog)
    {
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        QTRY_COMPARE(dialog->Opacity(), 1.0);
    }

    static void WriteRating(const QVariant& dontAsk, const QVariant& runs)
    {
        QSettings settings;
        settings.beginGroup(QStringLiteral("GlobalSetting"));
        settings.setValue(QStringLiteral("Settings.DontAskRating"), dontAsk);
        settings.setValue(QStringLiteral("Settings.RatingRuns"), runs);
    }

private Q_SLOTS:
    void initTestCase()
    {
        // Before the first QSettings: the settings and data folders follow HOME.
        QVERIFY(home.isValid());
        qputenv("HOME", home.path().toUtf8());
        qunsetenv("XDG_CONFIG_HOME");
        qunsetenv("XDG_DATA_HOME");
        QCoreApplication::setOrganizationName(QStringLiteral("Vantorix"));
        QCoreApplication::setApplicationName(QStringLiteral("Cantorela"));
        QCoreApplication::setApplicationVersion(QStringLiteral(CANTORELA_VERSION));
        Q_INIT_RESOURCE(assets);
        QVERIFY(UI::InterfaceFonts::Register());
    }

    void init()
    {
        window = std::make_unique<DarkWindow>();
        window->setGeometry(0, 0, 1280, 720);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }

    void cleanup() { window.reset(); }

    void mailShowsNetworkTextLiterally_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("markup") << QStringLiteral("<b>x</b><script>alert(1)</script>");
        QTest::newRow("picture") << QStringLiteral("<img src=\"http://example.org/a.png\"> &amp; &lt;i&gt;");
        QTest::newRow("rich text sniffing") << QStringLiteral("<html><body><h1>Big</h1></body></html>");
        QTest::newRow("lines") << QStringLiteral("First line\n\n\tIndented line");
    }

    void mailShowsNetworkTextLiterally()
    {
        QFETCH(QString, text);
        UI::MailDialog dialog(window.get());
        dialog.SetNews(text, text);
        QCOMPARE(dialog.HeadlineLabel()->textFormat(), Qt::PlainText);
        QCOMPARE(dialog.ShownTitle(), text.simplified());
        QCOMPARE(dialog.ShownText(), text);
        QCOMPARE(dialog.TextView()->document()->toPlainText(), text);
    }

    void mailCapsLongText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("words") << QStringLiteral("lesson ").repeated(200000);
        QTest::newRow("one word") << QString(UI::MailDialog::MaxShownLength * 3, QLatin1Char('x'));
        QTest::newRow("pairs at the cut")
            << QStringLiteral("\U0001F3B9").repeated(UI::MailDialog::MaxShownLength);
        QTest::newRow("line breaks") << QString(UI::MailDialog::MaxShownLength + 1, QLatin1Char('\n'));
    }

    void mailCapsLongText()
    {
        QFETCH(QString, text);
        UI::MailDialog dialog(window.get());
        dialog.SetNews(Core::NewsItem{7, text});
        const QString shown = dialog.ShownText();
        QVERIFY2(shown.size() <= UI::MailDialog::MaxShownLength, qPrintable(QString::number(shown.size())));
        QVERIFY(shown.endsWith(QChar(0x2026)));
        QVERIFY(shown.isValidUtf16());
        QVERIFY(text.startsWith(shown.chopped(1).trimmed()));
    }

    void mailNeutralisesControls()
    {
        UI::MailDialog dialog(window.get());
        dialog.SetNews(QString(), QStringLiteral("pay\u202Eexe.txt\r\nbell\a"));
        QCOMPARE(dialog.ShownText(), QStringLiteral("pay exe.txt\nbell"));
        QVERIFY(!dialog.ShownTitle().isEmpty());
    }

    void guideResource()
    {
        QFile file(QString::fromLatin1(UI::HelpDialog::GuideResource));
        UI::HelpDialog dialog(window.get());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(file.readAll());
        const QString text = dialog.GuideView()->toPlainText();
        QVERIFY(!text.contains(QLatin1Char('<')));
        for (const char* expected :
             {"Note Trainer", "Ear Trainer", "Music Symbols", "ALSA", "JACK", "aconnect -l",
              "CANTORELA_MIDI_API=jack", "Settings.MidiApi", "stats.xml", "statsLocal.xml", "tstats.xml",
              "-nofs", "-display N", "space bar"})
            QVERIFY2(text.contains(QLatin1String(expected)), expected);
        // The places it names are where the program keeps its files.
        QVERIFY2(text.contains(Home(QSettings().fileName())), qPrintable(Home(QSettings().fileName())));
        const QString data = Home(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
        QVERIFY2(text.contains(data + QStringLiteral("/stats.xml")), qPrintable(data));
        // Every link of the page leads to an anchor of the page.
        const QRegularExpression link(QStringLiteral("href=\"#([^\"]+)\""));
        int links = 0;
        for (auto it = link.globalMatch(html); it.hasNext(); ++links) {
            const QString name = it.next().captured(1);
            QVERIFY2(html.contains(QStringLiteral("name=\"%1\"").arg(name)), qPrintable(name));
        }
        QVERIFY(links >= 8);
    }

    void guideLinksStayInside()
    {
        UI::HelpDialog dialog(window.get());
        ShowFully(&dialog);
        QTextBrowser* guide = dialog.GuideView();
        QScrollBar* scroll = guide->verticalScrollBar();
        QCOMPARE(scroll->value(), 0);
        emit guide->anchorClicked(QUrl(QStringLiteral("https://example.org/#midi")));
        QCOMPARE(scroll->value(), 0);
        QVERIFY(guide->source().isEmpty());
        emit guide->anchorClicked(QUrl(QStringLiteral("#files")));
        QVERIFY(scroll->value() > 0);
    }

    void aboutCredits()
    {
        UI::AboutDialog dialog(window.get());
        const QString credits = dialog.CreditsView()->toPlainText();
        for (const char* part :
             {"Qt 5", "GNU LGPL v3", "RtMidi", "MIT-style licence", "FluidSynth", "GNU LGPL 2.1",
              "FluidR3 Mono General MIDI soundfont", "MIT licence", "libsmf", "BSD 2-clause", "Bravura",
              "Lato", "SIL Open Font License 1.1", qVersion()})
            QVERIFY2(credits.contains(QLatin1String(part)), part);
        // Every tempo piece of the notes is credited with its composer and work.
        QFile notes(QStringLiteral(":/about/tempo_pieces.md"));
        QVERIFY(notes.open(QIODevice::ReadOnly));
        const QString markdown = QString::fromUtf8(notes.readAll());
        int pieces = 0;
        for (const QString& line : markdown.split(QLatin1Char('\n'))) {
            if (!line.startsWith(QLatin1String("| ")) || !line.contains(QLatin1String(".mid |")))
                continue;
            const QStringList cells = line.split(QLatin1Char('|'));
            for (int cell : {1, 2, 3})
                QVERIFY2(credits.contains(cells.at(cell).trimmed()), qPrintable(cells.at(cell)));
            ++pieces;
        }
        QCOMPARE(pieces, 38);
        QVERIFY(credits.contains(QLatin1String("Copyright 2017-2021 The Fryderyk Chopin Institute")));
    }

    void markdownIsShownAsWritten_data()
    {
        QTest::addColumn<QString>("markdown");
        QTest::addColumn<QString>("shown");
        QTest::newRow("paragraph") << "a <b>x</b> & <script>y</script>"
                                   << "a <b>x</b> & <script>y</script>";
        QTest::newRow("heading") << "## <i>Credits</i>"
                                 << "<i>Credits</i>";
        QTest::newRow("table cell") << "| A | B |\n|---|---|\n| <img src=x> | *kind* |"
                                    << "<img src=x>";
        QTest::newRow("list") << "- first <a href=x>\n  continued"
                              << "first <a href=x> continued";
        QTest::newRow("block") << "text\n\n    <pre>code</pre>"
                               << "<pre>code</pre>";
        QTest::newRow("emphasis") << "an *in its manner* row"
                                  << "an in its manner row";
    }

    void markdownIsShownAsWritten()
    {
        QFETCH(QString, markdown);
        QFETCH(QString, shown);
        QTextDocument document;
        document.setHtml(UI::AboutDialog::MarkdownToHtml(markdown));
        QVERIFY2(document.toPlainText().simplified().contains(shown), qPrintable(document.toPlainText()));
    }

    void ratingOffered_data()
    {
        QTest::addColumn<QUrl>("base");
        QTest::addColumn<QVariant>("dontAsk");
        QTest::addColumn<QVariant>("runs");
        QTest::addColumn<QString>("answers"); // one character per run, 1 = offered
        const QUrl base(QStringLiteral("https://example.org"));
        QTest::newRow("no services address") << QUrl() << QVariant(false) << QVariant(9) << "0000000000";
        QTest::newRow("new user") << base << QVariant(false) << QVariant() << "000000000100000000010";
        QTest::newRow("ninth run counted") << base << QVariant(false) << QVariant(9) << "10000";
        QTest::newRow("don't ask again") << base << QVariant(true) << QVariant(9) << "0000000000";
        QTest::newRow("unreadable counter")
            << base << QVariant() << QVariant(QStringLiteral("many")) << "0000000001";
        QTest::newRow("negative counter") << base << QVariant() << QVariant(-4) << "0000000001";
    }

    void ratingOffered()
    {
        QFETCH(QUrl, base);
        QFETCH(QVariant, dontAsk);
        QFETCH(QVariant, runs);
        QFETCH(QString, answers);
        WriteRating(dontAsk, runs);
        QString got;
        for (int run = 0; run < answers.size(); ++run)
            got += UI::RatingDialog::ShouldShow(base) ? QLatin1Char('1') : QLatin1Char('0');
        QCOMPARE(got, answers);
    }

    void dontAskAgainPersists()
    {
        WriteRating(false, 9);
        auto* dialog =
            new UI::RatingDialog(QUrl(QStringLiteral("https://example.org")), nullptr, window.get());
        ShowFully(dialog);
        QSignalSpy closed(dialog, &UI::BaseDialog::DialogClosed);
        QPushButton* button = dialog->DontAskButton();
        QTest::mouseClick(button, Qt::LeftButton, {}, button->rect().center());
        QTRY_COMPARE(closed.count(), 1);
        // In the real file, where a new run reads it.
        const QString file = home.filePath(QStringLiteral(".config/Vantorix/Cantorela.conf"));
        QVERIFY(QFile::exists(file));
        QSettings written(file, QSettings::IniFormat);
        QCOMPARE(written.value(QStringLiteral("GlobalSetting/Settings.DontAskRating")).toBool(), true);
        QVERIFY(!UI::RatingDialog::ShouldShow(QUrl(QStringLiteral("https://example.org"))));
        delete dialog;
    }

    void starOpensRatingPage_data()
    {
        QTest::addColumn<QString>("base");
        QTest::addColumn<int>("stars");
        QTest::addColumn<QString>("opened");
        QTest::newRow("1 star") << "https://example.org" << 1 << "https://example.org/Home/Rate?stars=1";
        QTest::newRow("3 stars under a path") << "https://example.org/services/?x=1#top" << 3
                                              << "https://example.org/services/Home/Rate?stars=3";
        QTest::newRow("5 stars") << "http://localhost:8080" << 5 << "http://localhost:8080/Home/Rate?stars=5";
        QTest::newRow("no address") << "" << 4 << "";
    }

    void starOpensRatingPage()
    {
        QFETCH(QString, base);
        QFETCH(int, stars);
        QFETCH(QString, opened);
        QStringList calls;
        auto* dialog = new UI::RatingDialog(
            QUrl(base), [&calls](const QString& url) { calls << url; }, window.get());
        ShowFully(dialog);
        QAbstractButton* star = dialog->StarButton(stars);
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(star);
        QCOMPARE(accessible->text(QAccessible::Name),
                 stars == 1 ? QStringLiteral("1 star") : QStringLiteral("%1 stars").arg(stars));
        QSignalSpy closed(dialog, &UI::BaseDialog::DialogClosed);
        QTest::mouseClick(star, Qt::LeftButton, {}, star->rect().center());
        QCOMPARE(calls, opened.isEmpty() ? QStringList() : QStringList{opened});
        // Clicks while it fades out, and after, open nothing more.
        QTest::mouseClick(star, Qt::LeftButton, {}, star->rect().center());
        QTRY_COMPARE(closed.count(), 1);
        QTest::mouseClick(star, Qt::LeftButton, {}, star->rect().center());
        QCOMPARE(calls.size(), opened.isEmpty() ? 0 : 1);
        QCOMPARE(dialog->ChosenStars(), stars);
        delete dialog;
    }

    void keyboardAndLayout_data()
    {
        QTest::addColumn<QString>("kind");
        for (const char* kind : {"about", "help", "mail", "rating"})
            QTest::newRow(kind) << QString::fromLatin1(kind);
    }

    // At 1280 × 720 the card and its buttons fit whole; every control has a name; Escape closes.
    void keyboardAndLayout()
    {
        QFETCH(QString, kind);
        UI::CardDialog* dialog = Create(kind);
        ShowFully(dialog);
        QVERIFY(dialog->rect().contains(dialog->CardRect()));
        for (QWidget* control : dialog->findChildren<QWidget*>()) {
            if (!(control->focusPolicy() & Qt::TabFocus) || !control->isVisible())
                continue;
            QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(control);
            QVERIFY2(!accessible->text(QAccessible::Name).isEmpty(), control->metaObject()->className());
            const QRect place(control->mapTo(dialog, QPoint(0, 0)), control->size());
            QVERIFY2(dialog->CardRect().contains(place), qPrintable(control->objectName()));
            if (auto* button = qobject_cast<QPushButton*>(control))
                QVERIFY2(button->width() >= button->sizeHint().width() &&
                             button->height() >= button->sizeHint().height(),
                         qPrintable(button->text()));
        }
        QVERIFY(dialog->focusWidget());
        QSignalSpy closed(dialog, &UI::BaseDialog::DialogClosed);
        QTest::keyClick(dialog->focusWidget(), Qt::Key_Escape);
        QTRY_COMPARE(closed.count(), 1);
        QVERIFY(!dialog->isVisible());
        delete dialog;
    }

    void splashPaintsStatusAtOnce()
    {
        UI::SplashDialog splash;
        splash.show();
        QVERIFY(QTest::qWaitForWindowExposed(&splash));
        int paints = 0;
        struct Counter : QObject
        {
            int& paints;
            explicit Counter(int& p) : paints(p) {}
            bool eventFilter(QObject*, QEvent* event) override
            {
                paints += event->type() == QEvent::Paint;
                return false;
            }
        } counter(paints);
        splash.installEventFilter(&counter);
        // No event loop between the call and the check, as while the main window is built.
        splash.SetStatus(QStringLiteral("Preparing the trainers"));
        QCOMPARE(paints, 1);
        QCOMPARE(splash.accessibleDescription(), QStringLiteral("Preparing the trainers"));
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY((splash.frameGeometry().center() - screen.center()).manhattanLength() <= 2);
    }

    void pictures()
    {
        const QString dir = qEnvironmentVariable("CANTORELA_PICTURE_DIR");
        if (dir.isEmpty())
            QSKIP("set CANTORELA_PICTURE_DIR to save the pictures");
        QDir().mkpath(dir);
        const QStringList size = qEnvironmentVariable("CANTORELA_PICTURE_SIZE", QStringLiteral("1366x768"))
                                     .split(QLatin1Char('x'));
        window->resize(size.value(0).toInt(), size.value(1).toInt());
        const QString suffix = QStringLiteral("_%1x%2@%3.png")
                                   .arg(window->width())
                                   .arg(window->height())
                                   .arg(window->devicePixelRatioF());
        for (const char* name : {"about", "help", "mail", "rating"}) {
            const QString kind = QString::fromLatin1(name);
            UI::CardDialog* dialog = Create(kind);
            ShowFully(dialog);
            QVERIFY(dialog->grab().save(QDir(dir).filePath(kind + suffix)));
            delete dialog;
        }
        UI::SplashDialog splash;
        splash.show();
        splash.SetStatus(QStringLiteral("Preparing the trainers…"));
        QVERIFY(splash.grab().save(QDir(dir).filePath(QStringLiteral("splash") + suffix)));
    }
};

QTEST_MAIN(TestSmallDialogs)
#include "test_small_dialogs.moc"
