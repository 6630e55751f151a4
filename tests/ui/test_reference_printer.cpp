// Printing a reference page: real PDF files through QPrinter, read back with poppler-utils
// (pdfinfo for the page count, pdftotext for the footers, pdftoppm for the slices' pixels); the
// page-count boundary; the footer texts; both failure warnings; the print dialog without a
// print-to-file choice; and the PDF file offered when the system has no printer queue, driven
// through its save dialog. HOME is a temporary folder, so the documents folder is ours.

#include "ui/reference_printer.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QPageLayout>
#include <QPaintEngine>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintEngine>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>

namespace {

const QString footerText = QStringLiteral("Vantorix Cantorela | https://services.example.org");

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

// Runs a poppler tool; its standard output, or an empty array when it failed.
QByteArray Poppler(const QString& tool, const QStringList& arguments)
{
    QProcess process;
    process.start(tool, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        return QByteArray();
    return process.readAllStandardOutput();
}

int PageCount(const QString& pdf)
{
    const QRegularExpression pages(QStringLiteral("^Pages:\\s+(\\d+)"), QRegularExpression::MultilineOption);
    const auto match = pages.match(QString::fromUtf8(Poppler(QStringLiteral("pdfinfo"), {pdf})));
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

// The text of each page (pdftotext ends every page with a form feed).
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
    Poppler(QStringLiteral("pdftoppm"),
            {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-f"), QString::number(number),
             QStringLiteral("-l"), QString::number(number), QStringLiteral("-singlefile"),
             QStringLiteral("-png"), pdf, base});
    return QImage(base + QStringLiteral(".png"));
}

bool Near(QColor a, QColor b)
{
    return qAbs(a.red() - b.red()) < 40 && qAbs(a.green() - b.green()) < 40 && qAbs(a.blue() - b.blue()) < 40;
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

// A printer whose engine draws nothing and refuses every new page, as a full disk would.
struct RefusingEngine : QPaintEngine, QPrintEngine
{
    QPageLayout layout{QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(10, 10, 10, 10),
                       QPageLayout::Millimeter};
    int newPageCalls = 0;

    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState&) override {}
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    void drawImage(const QRectF&, const QImage&, const QRectF&, Qt::ImageConversionFlags) override {}
    void drawPath(const QPainterPath&) override {}
    void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
    void drawTextItem(const QPointF&, const QTextItem&) override {}
    Type type() const override { return QPaintEngine::User; }

    void setProperty(PrintEnginePropertyKey, const QVariant&) override {}
    QVariant property(PrintEnginePropertyKey key) const override
    {
        if (key == PPK_QPageLayout)
            return QVariant::fromValue(layout);
        if (key == PPK_Resolution)
            return 96;
        return QVariant();
    }
    bool newPage() override
    {
        ++newPageCalls;
        return false;
    }
    bool abort() override { return true; }
    int metric(QPaintDevice::PaintDeviceMetric metric) const override
    {
        const QRect paint = layout.paintRectPixels(96);
        switch (metric) {
        case QPaintDevice::PdmWidth:
            return paint.width();
        case QPaintDevice::PdmHeight:
            return paint.height();
        case QPaintDevice::PdmWidthMM:
            return qRound(layout.paintRect(QPageLayout::Millimeter).width());
        case QPaintDevice::PdmHeightMM:
            return qRound(layout.paintRect(QPageLayout::Millimeter).height());
        case QPaintDevice::PdmDepth:
            return 32;
        case QPaintDevice::PdmDevicePixelRatio:
            return 1;
        case QPaintDevice::PdmDevicePixelRatioScaled:
            return int(QPaintDevice::devicePixelRatioFScale());
        default:
            return 96;
        }
    }
    QPrinter::PrinterState printerState() const override
    {
        return isActive() ? QPrinter::Active : QPrinter::Idle;
    }
};

// The engine is a base ahead of QPrinter, so it outlives the printer that points at it.
struct RefusingEngineHolder
{
    RefusingEngine engine;
};

class RefusingPrinter : public RefusingEngineHolder, public QPrinter
{
public:
    RefusingPrinter() { setEngines(&engine, &engine); }
};

} // namespace

class TestReferencePrinter : public QObject
{
    Q_OBJECT

    QTemporaryDir home;
    QTemporaryDir output;

    static void RequirePoppler()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty() ||
            QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty() ||
            QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty())
            QSKIP("poppler-utils (pdfinfo, pdftotext, pdftoppm) is not installed; scripts/setup.sh installs "
                  "it");
    }

    // Every page of `pdf` ends with the footer.
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
        QTest::newRow("services address")
            << QStringLiteral("https://services.example.org") << QStringLiteral("1.2.3") << footerText;
        QTest::newRow("no address") << QString() << QStringLiteral("1.2.3")
                                    << QStringLiteral("Vantorix Cantorela | version 1.2.3");
        QTest::newRow("blank address") << QStringLiteral("  ") << QStringLiteral("1.2.3")
                                       << QStringLiteral("Vantorix Cantorela | version 1.2.3");
        QTest::newRow("nothing known") << QString() << QString() << QStringLiteral("Vantorix Cantorela");
    }

    void footer()
    {
        QFETCH(QString, address);
        QFETCH(QString, version);
        QTEST(UI::ReferencePrinter::Footer(address, version), "footer");
    }

    // Heights in printer pixels once scaled to the page width: `usablePages` usable heights and
    // `extra` pixels more; `widthFactor` is the picture's width over the page width.
    void pageCount_data()
    {
        QTest::addColumn<int>("widthFactor");
        QTest::addColumn<int>("usablePages");
        QTest::addColumn<int>("extra");
        QTest::addColumn<int>("pages");
        QTest::newRow("one pixel") << 1 << 0 << 1 << 1;
        QTest::newRow("exactly one page") << 1 << 1 << 0 << 1;
        QTest::newRow("exactly three pages") << 1 << 3 << 0 << 3;
        QTest::newRow("three pages and a pixel") << 1 << 3 << 1 << 4;
        QTest::newRow("wider picture, exactly three pages") << 2 << 3 << 0 << 3;
        QTest::newRow("wider picture, three pages and a pixel") << 2 << 3 << 1 << 4;
    }

    void pageCount()
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
        const int usable = paint.height() - 20;
        QImage page(paint.width() * widthFactor, (usablePages * usable + extra) * widthFactor,
                    QImage::Format_RGB32);
        page.fill(Qt::darkCyan);

        QVERIFY(UI::ReferencePrinter::Print(page, printer, footerText));
        QCOMPARE(PageCount(pdf), pages);
        VerifyFooters(pdf, pages);
    }

    // A page taller than three printer pages: four pages, each starting with the next slice at
    // its top and ending with the red footer below the usable height.
    void slicesFollowEachOther()
    {
        RequirePoppler();
        const QString pdf = output.filePath(QStringLiteral("slices.pdf"));
        QPrinter printer(QPrinter::ScreenResolution);
        PdfPrinter(printer, pdf);
        const QRect paint = PaintRect(printer);
        const int usable = paint.height() - 20;
        const QList<QColor> bands = {Qt::blue, Qt::green, Qt::magenta, Qt::darkYellow};
        QImage page(paint.width(), 3 * usable + usable / 2, QImage::Format_RGB32);
        QPainter painter(&page);
        for (int band = 0; band < bands.size(); ++band)
            painter.fillRect(0, band * usable, page.width(), usable, bands[band]);
        painter.end();

        QVERIFY(UI::ReferencePrinter::Print(page, printer, footerText));
        QCOMPARE(PageCount(pdf), 4);
        VerifyFooters(pdf, 4);
        for (int number = 1; number <= 4; ++number) {
            const QImage rendered = RenderPage(pdf, number, printer.resolution(), output.path());
            QVERIFY(!rendered.isNull());
            const QPoint origin = paint.topLeft();
            const QColor band = bands[number - 1];
            QVERIFY2(Near(rendered.pixelColor(origin + QPoint(40, 4)), band), "slice top");
            const int bandEnd = number == 4 ? usable / 2 : usable;
            QVERIFY2(Near(rendered.pixelColor(origin + QPoint(40, bandEnd - 4)), band), "slice bottom");
            if (number == 4)
                QVERIFY2(Near(rendered.pixelColor(origin + QPoint(40, bandEnd + 8)), Qt::white),
                         "below the end");
            bool red = false;
            for (int y = usable; y < usable + 20 && !red; ++y)
                for (int x = 0; x < paint.width() && !red; ++x)
                    red = Near(rendered.pixelColor(origin + QPoint(x, y)), Qt::red);
            QVERIFY2(red, "red footer");
        }
    }

    void unwritableFileFails()
    {
        const QString pdf = output.filePath(QStringLiteral("missing/folder/reference.pdf"));
        QPrinter printer(QPrinter::ScreenResolution);
        PdfPrinter(printer, pdf);
        QImage page(200, 300, QImage::Format_RGB32);
        page.fill(Qt::white);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral(
                                               "^failed to open file, is it writable\\? .*"
                                               "UI::ReferencePrinter::Print.*src/ui/reference_printer")));
        QVERIFY(!UI::ReferencePrinter::Print(page, printer, footerText));
        QVERIFY(!QFile::exists(pdf));
    }

    void refusedNewPageFails()
    {
        RefusingPrinter printer;
        const int usable = PaintRect(printer).height() - 20;
        QImage page(PaintRect(printer).width(), 3 * usable, QImage::Format_RGB32);
        page.fill(Qt::white);
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral(
                                               "^failed in flushing page to disk, disk full\\? .*"
                                               "UI::ReferencePrinter::Print.*src/ui/reference_printer")));
        QVERIFY(!UI::ReferencePrinter::Print(page, printer, footerText));
        QCOMPARE(printer.engine.newPageCalls, 1);
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
        QVERIFY(QDir().mkpath(home.path()));
        const QString folder = documentsFolder ? home.filePath(QStringLiteral("Documents")) : home.path();
        QVERIFY(QDir().mkpath(folder));

        QString title;
        QString offered;
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
        const int usable = PaintRect(printer).height() - 20;
        QImage page(PaintRect(printer).width(), 2 * usable + 1, QImage::Format_RGB32);
        page.fill(Qt::darkCyan);
        const bool printed = UI::ReferencePrinter::PrintWithDialog(nullptr, page, footerText, printer, false);

        const QString expected = QDir(folder).filePath(QStringLiteral("Cantorela Reference.pdf"));
        QCOMPARE(title, QStringLiteral("Cantorela Reference"));
        QCOMPARE(offered, expected);
        QCOMPARE(printed, save);
        QCOMPARE(QFile::exists(expected), save);
        if (save) {
            QCOMPARE(PageCount(expected), 3);
            VerifyFooters(expected, 3);
        }
    }

    // With printer queues: the print dialog, titled, with no way to print to a file.
    void printerDialogHasNoFileOption()
    {
        QString title;
        bool fileOption = true;
        QStringList choices;
        WhenModal<QPrintDialog>([&](QPrintDialog* dialog) {
            title = dialog->windowTitle();
            fileOption = dialog->testOption(QAbstractPrintDialog::PrintToFile);
            for (const QComboBox* box : dialog->findChildren<QComboBox*>())
                for (int index = 0; index < box->count(); ++index)
                    choices << box->itemText(index);
            dialog->reject();
        });
        QPrinter printer(QPrinter::ScreenResolution);
        QImage page(200, 300, QImage::Format_RGB32);
        page.fill(Qt::white);
        QVERIFY(!UI::ReferencePrinter::PrintWithDialog(nullptr, page, footerText, printer, true));
        QCOMPARE(title, QStringLiteral("Cantorela Reference"));
        QVERIFY(!fileOption);
        QVERIFY2(
            !choices.join(QLatin1Char('|')).contains(QStringLiteral("Print to File"), Qt::CaseInsensitive),
            qPrintable(choices.join(QLatin1Char('|'))));
    }
};

QTEST_MAIN(TestReferencePrinter)
#include "test_reference_printer.moc"
