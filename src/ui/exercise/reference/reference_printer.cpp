#include "ui/exercise/reference/reference_printer.h"

#include "core/services/services_address.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QImage>
#include <QLoggingCategory>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStandardPaths>

Q_LOGGING_CATEGORY(printLog, "cantorela.print")

namespace UI {

namespace {

constexpr const char* printFunction = "UI::ReferencePrinter::print";

// One warning line: what failed, then the function and the source file it failed in.
void warnPrintFailure(const char* what)
{
    qCWarning(printLog).noquote() << QStringLiteral("%1 (%2, %3)")
                                         .arg(QLatin1String(what), QLatin1String(printFunction),
                                              QLatin1String(ReferencePrinter::SourceFile));
}

} // namespace

QString ReferencePrinter::dialogTitle()
{
    return QCoreApplication::translate("UI::ReferencePrinter", "Cantorela Reference");
}

QString ReferencePrinter::defaultPdfName()
{
    return dialogTitle() + QStringLiteral(".pdf");
}

QString ReferencePrinter::footer(const QString& servicesAddress, const QString& version)
{
    // The maker's and the program's names are the same in every language.
    const QString name = QStringLiteral("Vantorix Cantorela");
    const QString address = servicesAddress.trimmed();
    if (!address.isEmpty())
        return name + QStringLiteral(" | ") + address;
    if (!version.trimmed().isEmpty())
        return QCoreApplication::translate("UI::ReferencePrinter", "%1 | version %2")
            .arg(name, version.trimmed());
    return name;
}

QString ReferencePrinter::configuredFooter()
{
    return footer(Core::ServicesAddress::Configured().toString(), QCoreApplication::applicationVersion());
}

bool ReferencePrinter::print(const QImage& page, QPrinter& printer, const QString& footer)
{
    const QRect paintRect = printer.pageLayout().paintRectPixels(printer.resolution());
    const int pageWidth = paintRect.width();
    const int usableHeight = paintRect.height() - FooterHeight;
    if (page.isNull() || page.width() <= 0 || page.height() <= 0) {
        warnPrintFailure("nothing to print, the page is empty");
        return false;
    }
    if (pageWidth <= 0 || usableHeight <= 0) {
        warnPrintFailure("nothing to print, the printer page is too small");
        return false;
    }

    // The picture's height once scaled to the page width, rounded to whole printer pixels; in
    // 64 bits, since a tall picture times a high-resolution width overflows an int.
    const qint64 scaledHeight = (qint64(page.height()) * pageWidth + page.width() / 2) / qint64(page.width());
    const qint64 pageCount = qMax<qint64>(1, (scaledHeight + usableHeight - 1) / usableHeight);
    // Picture pixels per printer pixel.
    const qreal sourcePerTarget = qreal(page.width()) / pageWidth;

    QPainter painter;
    if (!painter.begin(&printer)) {
        warnPrintFailure("failed to open file, is it writable?");
        return false;
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    QFont footerFont = painter.font();
    footerFont.setPixelSize(FooterHeight * 3 / 5);
    const QRect footerRect(0, usableHeight, pageWidth, FooterHeight);

    for (qint64 index = 0; index < pageCount; ++index) {
        if (index > 0 && !printer.newPage()) {
            warnPrintFailure("failed in flushing page to disk, disk full?");
            painter.end();
            return false;
        }
        const qint64 top = index * usableHeight;
        const qint64 sliceHeight = qMin<qint64>(usableHeight, scaledHeight - top);
        if (sliceHeight > 0) {
            const QRectF target(0, 0, pageWidth, qreal(sliceHeight));
            const QRectF source(0, top * sourcePerTarget, page.width(),
                                qMin(sliceHeight * sourcePerTarget, page.height() - top * sourcePerTarget));
            painter.drawImage(target, page, source);
        }
        painter.setPen(Qt::red);
        painter.setFont(footerFont);
        painter.drawText(footerRect, Qt::AlignCenter, footer);
    }
    return painter.end();
}

QString ReferencePrinter::askForPdfFile(QWidget* parent)
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QDir::homePath();

    QFileDialog dialog(parent, dialogTitle());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(QCoreApplication::translate("UI::ReferencePrinter", "PDF files (*.pdf)"));
    dialog.setDefaultSuffix(QStringLiteral("pdf"));
    dialog.setDirectory(folder);
    dialog.selectFile(defaultPdfName());
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.selectedFiles().value(0);
}

bool ReferencePrinter::printWithDialog(QWidget* parent, const QImage& page, const QString& footer)
{
    QPrinter printer(QPrinter::ScreenResolution);
    return printWithDialog(parent, page, footer, printer, !QPrinterInfo::availablePrinters().isEmpty());
}

bool ReferencePrinter::printWithDialog(QWidget* parent, const QImage& page, const QString& footer,
                                       QPrinter& printer, bool printerQueues)
{
    if (!printerQueues) {
        // No printer at all: save a PDF file instead, as a PDF printer queue would.
        const QString fileName = askForPdfFile(parent);
        if (fileName.isEmpty())
            return false;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(fileName);
        return print(page, printer, footer);
    }

    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(dialogTitle());
    dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
    // Every page of the reference is printed; a page range would be ignored.
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    return print(page, printer, footer);
}

} // namespace UI
