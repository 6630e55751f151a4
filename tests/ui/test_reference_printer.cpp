// Printing a reference page into real PDF files, read back with poppler-utils; HOME is temporary.

#include "ui/exercise/reference/reference_printer.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QtTest>

#include <functional>

namespace {

const QString footerText = QStringLiteral("Vantorix Cantorela | https://services.example.org");

QByteArray Poppler(const QString& tool, const QStringList& arguments)
{
    QProcess process;
    process.start(tool, arguments);
    const bool ran = process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit;
    return ran && process.exitCode() == 0 ? process.readAllStandardOutput() : QByteArray();
}

// The text of each page (pdftotext ends every page, also one without text, with a form feed).
QStringList PageTexts(const QString& pdf)
{
    QStringList pages = QString::fromUtf8(Poppler(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")}))
                            .split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty())
        pages.removeLast();
    return pages;
}

QImage RenderPage(const QString& pdf, int number, int dpi, const QString& folder)
{
    const QString base = folder + QStringLiteral("/page%1").arg(number);
    const QString page = QString::number(number);
    Poppler(QStringLiteral("pdftoppm"),
            {"-r", QString::number(dpi), "-f", page, "-l", page, "-singlefile", "-png", pdf, base});
    return QImage(base + QStringLiteral(".png"));
}

QRect PaintRect(const QPrinter& printer)
{
    return printer.pageLayout().paintRectPixels(printer.resolution());
}

// Calls `act` with the modal dialog once its exec() shows it; act must close it.
void WhenModal(std::function<void(QDialog*)> act)
{
    auto* poll = new QTimer;
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, [poll, act] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            poll->stop();
            poll->deleteLater();
            act(dialog);
        }
    });
    poll->start();
}

} // namespace

class TestReferencePrinter : public QObject
{
    Q_OBJECT

    QTemporaryDir home;
    QTemporaryDir output;

    static void VerifyFooters(const QString& pdf, int pages)
    {
        const QStringList texts = PageTexts(pdf);
        QCOMPARE(texts.size(), pages);
        for (const QString& text : texts)
            QVERIFY2(text.simplified().endsWith(footerText), qPrintable(text));
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(home.isValid() && output.isValid());
        QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty() &&
                     !QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty(),
                 "poppler-utils is installed by scripts/setup.sh");
        qputenv("HOME", home.path().toUtf8());
        qunsetenv("XDG_CONFIG_HOME");
    }

    void footer()
    {
        const auto footer = [](const char* address, const char* version) {
            return UI::ReferencePrinter::footer(QString::fromLatin1(address), QString::fromLatin1(version));
        };
        QCOMPARE(footer("https://services.example.org", "1.2.3"), footerText);
        QCOMPARE(footer("  ", "1.2.3"), QStringLiteral("Vantorix Cantorela | version 1.2.3"));
        QCOMPARE(footer(nullptr, nullptr), QStringLiteral("Vantorix Cantorela"));
    }

    // A picture `usablePages` usable heights plus `extra` pixels high (scaled), in bands: each page
    // holds the next band at its top, paper below the end, the red footer under the usable height.
    void slicesFillThePagesInOrder_data()
    {
        QTest::addColumn<int>("widthFactor");
        QTest::addColumn<int>("usablePages");
        QTest::addColumn<int>("extra");
        QTest::addColumn<int>("pages");
        QTest::newRow("one pixel") << 1 << 0 << 1 << 1;
        QTest::newRow("exactly one page") << 1 << 1 << 0 << 1;
        QTest::newRow("three pages and a pixel") << 1 << 3 << 1 << 4;
        QTest::newRow("three and a half pages") << 1 << 3 << 500 << 4;
        QTest::newRow("wider picture, exactly three pages") << 2 << 3 << 0 << 3;
        QTest::newRow("wider picture, three pages and a pixel") << 2 << 3 << 1 << 4;
    }

    void slicesFillThePagesInOrder()
    {
        QFETCH(int, widthFactor);
        QFETCH(int, usablePages);
        QFETCH(int, extra);
        QFETCH(int, pages);
        const QString pdf = output.filePath(QStringLiteral("%1.pdf").arg(QTest::currentDataTag()));
        QPrinter printer(QPrinter::ScreenResolution);
        printer.setOutputFileName(pdf);
        const QRect paint = PaintRect(printer);
        const int usable = paint.height() - 20, height = usablePages * usable + extra;
        const QColor bands[] = {Qt::blue, Qt::green, Qt::magenta, Qt::darkYellow};
        QImage page(paint.width() * widthFactor, height * widthFactor, QImage::Format_RGB32);
        QPainter painter(&page);
        for (int band = 0; band * usable < height; ++band)
            painter.fillRect(0, band * usable * widthFactor, page.width(), usable * widthFactor,
                             bands[band % 4]);
        painter.end();

        QVERIFY(UI::ReferencePrinter::print(page, printer, footerText));
        VerifyFooters(pdf, pages);
        for (int number = 1; number <= pages; ++number) {
            const QImage shown = RenderPage(pdf, number, printer.resolution(), output.path());
            QVERIFY(!shown.isNull());
            const auto near = [&](int x, int y, QColor b) { // the pixel at (x, y) of the paint area is near b
                const QColor a = shown.pixelColor(paint.topLeft() + QPoint(x, y));
                return std::max({qAbs(a.red() - b.red()), qAbs(a.green() - b.green()), qAbs(a.blue() - b.blue())}) < 40;
            };
            const int slice = std::min(usable, height - (number - 1) * usable);
            if (slice > 8) {
                QVERIFY2(near(40, 4, bands[number - 1]), "slice top");
                QVERIFY2(near(40, slice - 4, bands[number - 1]), "slice bottom");
            }
            if (slice + 8 < usable)
                QVERIFY2(near(40, slice + 8, Qt::white), "paper below the picture's end");
            bool red = false;
            for (int y = usable; y < usable + 20 && !red; ++y)
                for (int x = 0; x < paint.width() && !red; ++x)
                    red = near(x, y, Qt::red);
            QVERIFY2(red, "red footer");
        }
    }

    // Each failure returns false with one warning naming it, its function and file. Noise fills the
    // PDF writer's buffer on page one, so a full disk shows when the second page starts.
    void failureWarnsOnce_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("usablePages"); // 0: an empty picture
        QTest::addColumn<QString>("warning");
        QTest::newRow("folder missing")
            << "missing/folder/reference.pdf" << 1 << "failed to open file, is it writable?";
        QTest::newRow("disk full") << "/dev/full" << 3 << "failed in flushing page to disk, disk full?";
        QTest::newRow("empty picture") << "empty.pdf" << 0 << "nothing to print, the page is empty";
    }

    void failureWarnsOnce()
    {
        QFETCH(QString, file);
        QFETCH(int, usablePages);
        QFETCH(QString, warning);
        const QString pdf = QDir::isAbsolutePath(file) ? file : output.filePath(file);
        QPrinter printer(QPrinter::ScreenResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        QImage page;
        if (usablePages > 0) {
            page = QImage(PaintRect(printer).width(), usablePages * (PaintRect(printer).height() - 20),
                          QImage::Format_RGB32);
            QRandomGenerator(24).fillRange(reinterpret_cast<quint32*>(page.bits()), page.sizeInBytes() / 4);
        }
        static QStringList warnings; // of the printing category
        warnings.clear();
        const QtMessageHandler previous =
            qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& at, const QString& text) {
                if (type == QtWarningMsg && at.category && QLatin1String(at.category) == "cantorela.print")
                    warnings.append(text);
            });
        const bool printed = UI::ReferencePrinter::print(page, printer, footerText);
        qInstallMessageHandler(previous);
        QVERIFY(!printed);
        QCOMPARE(warnings.size(), 1);
        QVERIFY2(warnings[0].startsWith(warning) &&
                     warnings[0].contains(QRegularExpression(
                         "UI::ReferencePrinter::print.*src/ui/exercise/reference/reference_printer")),
                 qPrintable(warnings[0]));
        if (pdf != QLatin1String("/dev/full"))
            QVERIFY(!QFile::exists(pdf));
    }

    // With printer queues: the print dialog, without print to file. With none: a save dialog for
    // "Cantorela Reference.pdf" in documents (else home); saving prints there, cancelling nothing.
    void printWithDialog_data()
    {
        QTest::addColumn<bool>("queues");
        QTest::addColumn<bool>("documentsFolder");
        QTest::addColumn<bool>("save");
        QTest::newRow("printer queues") << true << true << false;
        QTest::newRow("save into documents") << false << true << true;
        QTest::newRow("save into home") << false << false << true;
        QTest::newRow("cancel") << false << true << false;
    }

    void printWithDialog()
    {
        QFETCH(bool, queues);
        QFETCH(bool, documentsFolder);
        QFETCH(bool, save);
        QDir(home.path()).removeRecursively();
        const QString folder = documentsFolder ? home.filePath(QStringLiteral("Documents")) : home.path();
        QVERIFY(QDir().mkpath(folder));

        QString offered;
        bool fileOption = false;
        WhenModal([&](QDialog* dialog) {
            if (auto* print = qobject_cast<QPrintDialog*>(dialog))
                fileOption = print->testOption(QAbstractPrintDialog::PrintToFile);
            if (auto* files = qobject_cast<QFileDialog*>(dialog))
                offered = files->selectedFiles().value(0);
            auto* buttons = dialog->findChild<QDialogButtonBox*>();
            if (save && buttons && buttons->button(QDialogButtonBox::Save))
                buttons->button(QDialogButtonBox::Save)->click();
            else
                dialog->reject();
        });
        QPrinter printer(QPrinter::ScreenResolution);
        QImage page(PaintRect(printer).width(), 2 * (PaintRect(printer).height() - 20) + 1,
                    QImage::Format_RGB32);
        page.fill(Qt::darkCyan);
        const bool printed =
            UI::ReferencePrinter::printWithDialog(nullptr, page, footerText, printer, queues);

        const QString expected = QDir(folder).filePath(QStringLiteral("Cantorela Reference.pdf"));
        QVERIFY(!fileOption);
        QCOMPARE(offered, queues ? QString() : expected);
        QCOMPARE(printed, save);
        QCOMPARE(QFile::exists(expected), save);
        if (save)
            VerifyFooters(expected, 3);
    }
};

QTEST_MAIN(TestReferencePrinter)
#include "test_reference_printer.moc"
