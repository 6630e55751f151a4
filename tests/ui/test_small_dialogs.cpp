// The main window's small dialogs (news, guide, credits, rating, splash), settings in a temporary HOME.

#include "../common/file_bytes.h"
#include "../common/screen_parts.h"
#include "ui/dialogs/about_dialog.h"
#include "ui/dialogs/help_dialog.h"
#include "ui/dialogs/mail_dialog.h"
#include "ui/dialogs/rating_dialog.h"
#include "ui/dialogs/splash_dialog.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTextBrowser>
#include <QtTest>

class TestSmallDialogs : public QObject
{
    Q_OBJECT

    QTemporaryDir home;
    std::unique_ptr<QWidget> window;

    static void ShowFully(UI::BaseDialog* dialog)
    {
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        QTRY_COMPARE(dialog->opacity(), 1.0);
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
        UseProgramLook();
    }

    void init()
    {
        window = std::make_unique<QWidget>();
        window->setGeometry(0, 0, 1280, 720);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }

    void cleanup() { window.reset(); }

    // Markup shown as written, controls as spaces, an empty title defaulted; past a cap ("…" in the
    // table) cut within it, never inside a surrogate pair, ending in "…".
    void mailShowsPlainTextWithinItsCaps_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shownTitle");
        QTest::addColumn<QString>("shownText");
        for (const char* text :
             {"<html><b>x</b><script>alert(1)</script> &amp;", "First line\n\n\tIndented line"})
            QTest::newRow(text) << text << text << QString(text).simplified() << text;
        QTest::newRow("controls") << "" << QStringLiteral("pay\u202Eexe.txt\r\nbell\a") << "News"
                                  << "pay exe.txt\nbell";
        const QString cut = QStringLiteral("\u2026"), atCap(UI::MailDialog::MaxShownLength, 'x');
        QTest::newRow("text at the cap") << "" << atCap << "News" << atCap;
        QTest::newRow("text one past the cap") << "" << atCap + QLatin1Char('x') << "News" << cut;
        QTest::newRow("text of words") << "" << QStringLiteral("lesson ").repeated(200000) << "News" << cut;
        QTest::newRow("pairs at the cut")
            << "" << QStringLiteral("\U0001F3B9").repeated(atCap.size()) << "News" << cut;
        QTest::newRow("line breaks") << "" << QString(atCap.size() + 1, '\n') << "News" << cut;
        const QString titleAtCap(UI::MailDialog::MaxTitleLength, 'x');
        QTest::newRow("title at the cap") << titleAtCap << "" << titleAtCap << "";
        QTest::newRow("title one past the cap") << titleAtCap + QLatin1Char('x') << "" << cut << "";
    }
    void mailShowsPlainTextWithinItsCaps()
    {
        QFETCH(QString, title);
        QFETCH(QString, text);
        QFETCH(QString, shownTitle);
        QFETCH(QString, shownText);
        UI::MailDialog dialog(window.get());
        dialog.setNews(title, text);
        auto* headline = Part<QLabel>(&dialog, "mailHeadline");
        QCOMPARE(headline->textFormat(), Qt::PlainText);
        const std::tuple<QString, QString, QString, int> fields[] = {
            {headline->text(), title, shownTitle, dialog.MaxTitleLength},
            {Part<QPlainTextEdit>(&dialog, "mailText")->toPlainText(), text, shownText, dialog.MaxShownLength}};
        for (const auto& [shown, given, expected, cap] : fields) {
            if (expected != QStringLiteral("\u2026")) {
                QCOMPARE(shown, expected);
                continue;
            }
            QVERIFY2(shown.size() <= cap && shown.endsWith(QChar(0x2026)), qPrintable(QString::number(shown.size())));
            QVERIFY(shown.isValidUtf16() && given.startsWith(shown.chopped(1).trimmed()));
        }
    }

    void guideNamesTheRealFilesAndLinksInside()
    {
        const QString html = QString::fromUtf8(ReadAll(QString::fromLatin1(UI::HelpDialog::GuideResource)));
        QVERIFY(!html.isEmpty());
        UI::HelpDialog dialog(window.get());
        QTextBrowser* view = Part<QTextBrowser>(&dialog, "helpGuide");
        const QString text = view->toPlainText();
        const auto Home = [](QString path) { return path.replace(QDir::homePath(), QStringLiteral("~")); };
        QVERIFY(!text.contains(QLatin1Char('<')));
        QVERIFY2(text.contains(Home(QSettings().fileName())), qPrintable(Home(QSettings().fileName())));
        const QString data = Home(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
        QVERIFY2(text.contains(data + QStringLiteral("/stats.xml")), qPrintable(data));
        const QRegularExpression link(QStringLiteral("href=\"#([^\"]+)\""));
        int links = 0;
        for (auto it = link.globalMatch(html); it.hasNext(); ++links) {
            const QString name = it.next().captured(1);
            QVERIFY2(html.contains(QStringLiteral("name=\"%1\"").arg(name)), qPrintable(name));
        }
        QVERIFY(links >= 8);

        // A click on the first link to the files' section, where it is painted, scrolls there.
        ShowFully(&dialog);
        QTextCursor at = view->document()->find(QStringLiteral("Where your files are kept"));
        QVERIFY(!at.isNull() && at.charFormat().anchorHref() == QLatin1String("#files"));
        at.setPosition(at.selectionStart() + 3); // inside the link's text
        QCOMPARE(view->verticalScrollBar()->value(), 0);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->cursorRect(at).center());
        QTRY_VERIFY(view->verticalScrollBar()->value() > 0);
        QVERIFY(view->source().isEmpty());
    }

    // The Qt in use, and every tempo piece of the notes with its composer and source.
    void aboutCreditsEveryTempoPiece()
    {
        UI::AboutDialog dialog(window.get());
        const QString credits = Part<QTextBrowser>(&dialog, "aboutCredits")->toPlainText();
        QVERIFY(credits.contains(QLatin1String(qVersion())));
        int pieces = 0;
        for (const QString& line :
             QString::fromUtf8(ReadAll(QStringLiteral(":/about/tempo_pieces.md"))).split(QLatin1Char('\n'))) {
            if (!line.startsWith(QLatin1String("| ")) || !line.contains(QLatin1String(".mid |")))
                continue;
            for (int cell : {1, 2, 3})
                QVERIFY2(credits.contains(line.section('|', cell, cell).trimmed()), qPrintable(line));
            ++pieces;
        }
        QVERIFY(pieces > 0);
    }

    void markdownIsShownAsWritten_data()
    {
        QTest::addColumn<QString>("markdown");
        QTest::addColumn<QString>("shown");
        const char* rows[][3] = {
            {"paragraph", "a <b>x</b> & <script>y</script>", "a <b>x</b> & <script>y</script>"},
            {"heading", "## <i>Credits</i>", "<i>Credits</i>"},
            {"table cell", "| A | B |\n|---|---|\n| <img src=x> | *kind* |", "<img src=x>"},
            {"list", "- first <a href=x>\n  continued", "first <a href=x> continued"},
            {"block", "text\n\n    <pre>code</pre>", "<pre>code</pre>"},
            {"emphasis", "an *in its manner* row", "an in its manner row"}};
        for (const auto& row : rows)
            QTest::newRow(row[0]) << row[1] << row[2];
    }
    void markdownIsShownAsWritten()
    {
        QFETCH(QString, markdown);
        QFETCH(QString, shown);
        QTextDocument document;
        document.setHtml(UI::AboutDialog::markdownToHtml(markdown));
        QVERIFY2(document.toPlainText().simplified().contains(shown), qPrintable(document.toPlainText()));
    }

    // Offered on every tenth run, never without the services' address or after "Don't ask again";
    // a broken counter starts afresh.
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
            got += UI::RatingDialog::shouldShow(base) ? QLatin1Char('1') : QLatin1Char('0');
        QCOMPARE(got, answers);
    }

    // A star opens the rating page under the services' address once, also when clicked again;
    // "Don't ask again" (no star) opens nothing and is written to the file a new run reads.
    void answerActsOnce_data()
    {
        QTest::addColumn<QString>("base");
        QTest::addColumn<int>("stars");
        QTest::addColumn<QString>("opened");
        QTest::newRow("1 star") << "https://example.org" << 1 << "https://example.org/Home/Rate?stars=1";
        QTest::newRow("3 stars under a path") << "https://example.org/services/?x=1#top" << 3
                                              << "https://example.org/services/Home/Rate?stars=3";
        QTest::newRow("no address") << "" << 4 << "";
        QTest::newRow("don't ask again") << "https://example.org" << 0 << "";
    }
    void answerActsOnce()
    {
        QFETCH(QString, base);
        QFETCH(int, stars);
        QFETCH(QString, opened);
        WriteRating(false, 9);
        QStringList calls;
        UI::RatingDialog dialog(
            QUrl(base), [&calls](const QString& url) { calls << url; }, window.get());
        ShowFully(&dialog);
        auto* button = Part<QAbstractButton>(&dialog, stars ? QStringLiteral("ratingStar%1").arg(stars)
                                                            : "ratingDontAsk");
        QSignalSpy closed(&dialog, &UI::BaseDialog::dialogClosed);
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(calls, opened.isEmpty() ? QStringList() : QStringList{opened});
        QTest::mouseClick(button, Qt::LeftButton);
        QTRY_COMPARE(closed.count(), 1);
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(calls.size(), opened.isEmpty() ? 0 : 1);
        const QSettings written(home.filePath(QStringLiteral(".config/Vantorix/Cantorela.conf")),
                                QSettings::IniFormat);
        QCOMPARE(written.value(QStringLiteral("GlobalSetting/Settings.DontAskRating")).toBool(), stars == 0);
    }

    // At 1280 × 720 the card and its controls fit whole, each button at least its natural size.
    void cardFits_data()
    {
        QTest::addColumn<QString>("kind");
        for (const char* kind : {"about", "help", "mail", "rating"})
            QTest::newRow(kind) << QString::fromLatin1(kind);
    }
    void cardFits()
    {
        QFETCH(QString, kind);
        auto* mail = new UI::MailDialog(window.get());
        mail->setNews(QStringLiteral("Spring concert"),
                      QStringLiteral("A tempo trainer.\n\nPractise every day."));
        UI::CardDialog* dialog = mail;
        if (kind == "about")
            dialog = new UI::AboutDialog(window.get());
        else if (kind == "help")
            dialog = new UI::HelpDialog(window.get());
        else if (kind == "rating")
            dialog = new UI::RatingDialog(QUrl(QStringLiteral("https://example.org")), nullptr, window.get());
        ShowFully(dialog);
        const QRect card = Part(dialog, "card")->geometry();
        QVERIFY(dialog->rect().contains(card));
        for (QWidget* control : dialog->findChildren<QWidget*>()) {
            if (!(control->focusPolicy() & Qt::TabFocus) || !control->isVisible())
                continue;
            const QRect place(control->mapTo(dialog, QPoint(0, 0)), control->size());
            QVERIFY2(card.contains(place), qPrintable(control->objectName()));
            if (auto* button = qobject_cast<QPushButton*>(control))
                QVERIFY2(button->size().expandedTo(button->sizeHint()) == button->size(),
                         qPrintable(button->text()));
        }
    }

    // Painted before the call returns (no event loop runs while the main window is built); centred.
    void splashPaintsStatusAtOnce()
    {
        UI::SplashDialog splash;
        splash.show();
        QVERIFY(QTest::qWaitForWindowExposed(&splash));
        struct PaintCounter : QObject
        {
            int paints = 0;
            bool eventFilter(QObject*, QEvent* event) override
            {
                paints += event->type() == QEvent::Paint;
                return false;
            }
        } counter;
        splash.installEventFilter(&counter);
        splash.setStatus(QStringLiteral("Preparing the trainers"));
        QCOMPARE(counter.paints, 1);
        QCOMPARE(splash.accessibleDescription(), QStringLiteral("Preparing the trainers"));
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY((splash.frameGeometry().center() - screen.center()).manhattanLength() <= 2);
    }
};

QTEST_MAIN(TestSmallDialogs)
#include "test_small_dialogs.moc"
