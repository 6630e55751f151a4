// Printing a reference page into real PDF files, read back with poppler-utils (pdftotext for the
// pages and their footers, pdftoppm for the slices' pixels): the page-count boundary, each slice
// on its own page, the failures and their warnings, the print dialog without a print-to-file
// choice, and the PDF file offered when the system has no printer queue. HOME is a temporary
// folder, so the documents folder is ours.

#include "ui/exercise/reference/reference_printer.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>

namespace {

const QString footerText = QStringLiteral("Vantorix Cantorela | https://services.example.org");

QByteArray Poppler(const QString& tool, const QStringList& arguments)
{
    QProcess process;
    process.start(tool, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        return QByteArray();
    return process.readAllStandardOutput();
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

// Page `number` (from 1) rendered at `dpi`.
QImage RenderPage(const QString& pdf, int number, int dpi, const QString& folder)
{
    const QString base = folder + QStringLiteral("/page%1").arg(number);
    const QString page = QString::number(number);
    Poppler(QStringLiteral("pdftoppm"),
            {"-r", QString::number(dpi), "-f", page, "-l", page, "-singlefile", "-png", pdf, base});
    return QImage(base + QStringLiteral(".png"));
}

bool Near(QColor a, QColor b)
{
    return qAbs(a.red() - b.red()) < 40 && qAbs(a.green() - b.green()) < 40 && qAbs(a.blue() - b.blue()) < 40;
}

QPrinter* PdfPrinter(QPrinter& printer, const QString& fileName)
{
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(fileName);
    return &printer;
}

QRect PaintRect(const QPrinter& printer)
{
    return printer.pageLayout().paintRectPixels(printer.resolution());
}

// Calls `act` with the modal dialog of type T once its exec() shows it; act must close it.
template <typename T> void WhenModal(std::function<void(T*)> act)
{
    auto* poll = new QTimer;
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, [poll, act] {
        if (auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget())) {
            poll->stop();
            poll->deleteLater();
            act(dialog);
        }
    });
    poll->start();
}

QStringList* printWarnings = nullptr;

void CatchPrintWarnings(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtWarningMsg && context.category && QLatin1String(context.category) == "cantorela.print")
        printWarnings->append(message);
}

} // namespace

class TestReferencePrinter : public QObject
{
    Q_OBJECT

    QTemporaryDir home;
    QTemporaryDir output;

    static void RequirePoppler()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty() ||
            QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty())
            QSKIP("poppler-utils is not installed; scripts/setup.sh installs it");
    }

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
        QVERIFY(home.isValid());
        QVERIFY(output.isValid());
        qputenv("HOME", home.path().toUtf8());
        qunsetenv("XDG_CONFIG_HOME");
    }

    void footer_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("footer");
        QTest::newRow("services address") << "https://services.example.org"
                                          << "1.2.3" << footerText;
        QTest::newRow("blank address") << "  "
                                       << "1.2.3"
                                       << "Vantorix Cantorela | version 1.2.3";
        QTest::newRow("nothing known") << QString() << QString() << "Vantorix Cantorela";
    }

    void footer()
    {
        QFETCH(QString, address);
        QFETCH(QString, version);
        QTEST(UI::ReferencePrinter::footer(address, version), "footer");
    }

    // A picture whose height, once scaled to the page width, is `usablePages` usable page heights
    // and `extra` pixels, painted in bands one usable height high; `widthFactor` is its width over
    // the page width. Each page holds the next band at its top, paper below the picture's end,
    // and the red footer under the usable height.
    void slicesFillThePagesInOrder_data()
    {
        QTest::addColumn<int>("widthFactor");
        QTest::addColumn<int>("usablePages");
        QTest::addColumn<int>("extra");
        QTest::addColumn<int>("pages");
        QTest::newRow("one pixel") << 1 << 0 << 1 << 1;
        QTest::newRow("exactly one page") << 1 << 1 << 0 << 1;
        QTest::newRow("exactly three pages") << 1 << 3 << 0 << 3;
        QTest::newRow("three pages and a pixel") << 1 << 3 << 1 << 4;
        QTest::newRow("three and a half pages") << 1 << 3 << 500 << 4;
        QTest::newRow("wider picture, exactly three pages") << 2 << 3 << 0 << 3;
        QTest::newRow("wider picture, three pages and a pixel") << 2 << 3 << 1 << 4;
    }

    void slicesFillThePagesInOrder()
    {
        RequirePoppler();
        QFETCH(int, widthFactor);
        QFETCH(int, usablePages);
        QFETCH(int, extra);
        QFETCH(int, pages);
        const QString pdf = output.filePath(QStringLiteral("%1.pdf").arg(QTest::currentDataTag()));
        QPrinter printer(QPrinter::ScreenResolution);
        PdfPrinter(printer, pdf);
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
            const auto at = [&](int x, int y) { return shown.pixelColor(paint.topLeft() + QPoint(x, y)); };
            const int slice = std::min(usable, height - (number - 1) * usable);
            if (slice > 8) {
                QVERIFY2(Near(at(40, 4), bands[number - 1]), "slice top");
                QVERIFY2(Near(at(40, slice - 4), bands[number - 1]), "slice bottom");
            }
            if (slice + 8 < usable)
                QVERIFY2(Near(at(40, slice + 8), Qt::white), "paper below the picture's end");
            bool red = false;
            for (int y = usable; y < usable + 20 && !red; ++y)
                for (int x = 0; x < paint.width() && !red; ++x)
                    red = Near(at(x, y), Qt::red);
            QVERIFY2(red, "red footer");
        }
    }

    // Each failure returns false with one warning saying what failed, in which function and file.
    // A picture of noise fills the PDF writer's buffer on the first page, so that the full disk
    // shows when the second page is started.
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
        PdfPrinter(printer, pdf);
        QImage page;
        if (usablePages > 0) {
            page = QImage(PaintRect(printer).width(), usablePages * (PaintRect(printer).height() - 20),
                          QImage::Format_RGB32);
            QRandomGenerator noise(24);
            for (int y = 0; y < page.height(); ++y)
                noise.fillRange(reinterpret_cast<quint32*>(page.scanLine(y)), page.width());
        }
        QStringList warnings;
        printWarnings = &warnings;
        const QtMessageHandler previous = qInstallMessageHandler(CatchPrintWarnings);
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

    // No printer queue: the save dialog offers "Cantorela Reference.pdf" in the documents
    // folder (the home folder when there is none); saving prints the PDF there, cancelling
    // prints nothing.
    void noPrinterOffersPdf_data()
    {
        QTest::addColumn<bool>("documentsFolder");
        QTest::addColumn<bool>("save");
        QTest::newRow("save into documents") << true << true;
        QTest::newRow("save into home") << false << true;
        QTest::newRow("cancel") << true << false;
    }

    void noPrinterOffersPdf()
    {
        RequirePoppler();
        QFETCH(bool, documentsFolder);
        QFETCH(bool, save);
        QDir(home.path()).removeRecursively();
        const QString folder = documentsFolder ? home.filePath(QStringLiteral("Documents")) : home.path();
        QVERIFY(QDir().mkpath(folder));

        QString title, offered;
        WhenModal<QFileDialog>([&](QFileDialog* dialog) {
            title = dialog->windowTitle();
            offered = dialog->selectedFiles().value(0);
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
        const bool printed = UI::ReferencePrinter::printWithDialog(nullptr, page, footerText, printer, false);

        const QString expected = QDir(folder).filePath(QStringLiteral("Cantorela Reference.pdf"));
        QCOMPARE(title, QStringLiteral("Cantorela Reference"));
        QCOMPARE(offered, expected);
        QCOMPARE(printed, save);
        QCOMPARE(QFile::exists(expected), save);
        if (save)
            VerifyFooters(expected, 3);
    }

    // With printer queues: the print dialog, titled, with no way to print to a file.
    void printerDialogHasNoFileOption()
    {
        QString title;
        bool fileOption = true;
        WhenModal<QPrintDialog>([&](QPrintDialog* dialog) {
            title = dialog->windowTitle();
            fileOption = dialog->testOption(QAbstractPrintDialog::PrintToFile);
            dialog->reject();
        });
        QPrinter printer(QPrinter::ScreenResolution);
        QImage page(200, 300, QImage::Format_RGB32);
        page.fill(Qt::white);
        QVERIFY(!UI::ReferencePrinter::printWithDialog(nullptr, page, footerText, printer, true));
        QCOMPARE(title, QStringLiteral("Cantorela Reference"));
        QVERIFY(!fileOption);
    }
};

QTEST_MAIN(TestReferencePrinter)
#include "test_reference_printer.moc"
