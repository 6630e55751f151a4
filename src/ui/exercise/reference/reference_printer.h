#pragma once
// Prints a reference page (the whole page as one tall picture) on paper or into a PDF file: the
// picture is cut into printer pages, each with a red footer naming the program. The exercise
// screen's Print button calls printWithDialog(); print() does the painting on a printer that is
// already set up. GUI thread only (dialogs, and QPrinter is not thread-safe).

#include <QString>

class QImage;
class QPrinter;
class QWidget;

namespace UI {

class ReferencePrinter
{
public:
    ReferencePrinter() = delete;

    // Height in printer pixels kept free at the bottom of every page for the footer.
    static constexpr int FooterHeight = 20;
    // Where the print failures are logged from, named in their warnings.
    static constexpr const char* SourceFile = "src/ui/exercise/reference/reference_printer";

    // "Vantorix Cantorela | " followed by the services address when one is given, else by
    // "version " and the program's version ("Vantorix Cantorela" alone when both are empty).
    static QString footer(const QString& servicesAddress, const QString& version);
    // The footer for this run: the configured services address (Core::ServicesAddress) and
    // the application's version.
    static QString configuredFooter();

    // Prints `page` on `printer`, which must not be printing yet. The picture is scaled, aspect
    // kept, to the width of the printer's paint rectangle (down when wider, up when narrower: a
    // screen picture fills the paper's width whatever the printer's resolution); the printer
    // gets the picture's own pixels and scales them itself. Each page holds the next slice of
    // the usable height (paint rectangle height - FooterHeight) at its top and the footer in red
    // in the strip below; the page count is the scaled height divided by the usable height,
    // rounded up. Returns false, with a warning naming this function and SourceFile, when the
    // printer cannot start ("failed to open file, is it writable?"), when a new page cannot be
    // started ("failed in flushing page to disk, disk full?"), or when there is nothing to print
    // (an empty picture, a page too small for the footer).
    static bool print(const QImage& page, QPrinter& printer, const QString& footer);

    // The Print button's whole interaction. With printer queues on the system: the print dialog
    // titled "Cantorela Reference", without the print-to-file and page-range options, then
    // print(). With none (QPrinterInfo::availablePrinters() empty, common on Linux): a save
    // dialog with the same title offering "Cantorela Reference.pdf" in the documents folder, and
    // print() into that PDF file. Returns whether something was printed.
    static bool printWithDialog(QWidget* parent, const QImage& page, const QString& footer);
    // The same on a printer the caller set up (printWithDialog above uses a new one at screen
    // resolution), with the caller saying whether the system has printer queues.
    static bool printWithDialog(QWidget* parent, const QImage& page, const QString& footer, QPrinter& printer,
                                bool printerQueues);

    // The dialogs' title and the PDF file offered when there is no printer queue.
    static QString dialogTitle();
    static QString defaultPdfName();

private:
    // The save dialog of the no-printer case; the chosen file path, or empty when cancelled.
    static QString askForPdfFile(QWidget* parent);
};

} // namespace UI
