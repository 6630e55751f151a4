#pragma once
// A printable worksheet of a section's weak items for a teacher to hand out: page after page a
// grid of numbered items (notes, intervals and chords engraved on their clefs in the music
// font's outlines, or the symbol pictures), each with an empty box under it for the student's
// answer, a title, a line for the student's name and the date, a footer naming the program with
// the page number, and the answer key on the last page. It paints on a PDF writer or a printer
// (every size in millimetres, laid out on the device's paint rectangle, so vector notation and
// text stay sharp at any resolution) or into a picture. The statistics view's "Print worksheet"
// builds one from the lesson's items. GUI thread only (fonts and painting on paged devices).

#include <QByteArray>
#include <QCoreApplication>
#include <QImage>
#include <QString>

#include <memory>
#include <vector>

class QPagedPaintDevice;
class QPainter;

namespace Core {
class LessonSession;
}

namespace UI {

// One item of the sheet: notation text to engrave, else a picture file to draw; the answer is
// what the key names it.
struct WorksheetItem
{
    QByteArray gmn;
    QString picture;
    QString answer;
};

class Worksheet
{
    Q_DECLARE_TR_FUNCTIONS(UI::Worksheet)

public:
    // Items a worksheet is made of, and the grid that holds them on one page.
    static constexpr int ItemCount = 24;
    static constexpr int Columns = 4;
    static constexpr int Rows = 6;
    // The paper the PDF file is written on: A4 portrait, this margin on every side.
    static constexpr double MarginMm = 15.0;
    static constexpr int PdfResolution = 600;

    Worksheet(const QString& title, std::vector<WorksheetItem> items);
    ~Worksheet();
    Worksheet(const Worksheet&);
    Worksheet& operator=(const Worksheet&);

    // "Worksheet: Intervals — Note Trainer".
    static QString titleFor(const QString& sectionName, const QString& trainerName);

    // The items of `keys` (statistics keys) in `section`, in that order, named and engraved as
    // the lesson does: a pitched item's notes on the clef its sound calls for, a symbol's
    // picture. Keys the section has no item of, and items with nothing to show on paper (the
    // heard tempo pieces), are left out; at most ItemCount items.
    static std::vector<WorksheetItem> itemsFor(const Core::LessonSession& session, int section,
                                               const std::vector<qint32>& keys);

    const QString& title() const { return m_title; }
    const std::vector<WorksheetItem>& items() const { return m_items; }

    int pageCount() const; // item pages + the answer key page
    int itemPageCount() const;

    // Paints every page on a PDF writer or printer, in portrait with MarginMm margins on the
    // paper it is set up for. False, with *error (may be null) telling why, when painting
    // cannot begin or a page cannot be added.
    bool print(QPagedPaintDevice* device, QString* error) const;
    // An A4 PDF file at PdfResolution with the title and program as its metadata. The file is
    // replaced only once the whole sheet is written.
    bool writePdf(const QString& fileName, QString* error) const;

    // One page (from 0) painted on white A4 paper `widthPixels` wide; a null picture for a page
    // that does not exist.
    QImage pagePicture(int page, int widthPixels) const;

private:
    struct Prepared;

    // Paints page `page` on a painter whose origin is the top-left corner of the printable area,
    // `area` in device pixels with `pixelsPerMm`.
    void paintPage(QPainter& painter, int page, const QSizeF& area, double pixelsPerMm) const;
    void paintItemPage(QPainter& painter, int page, const QSizeF& area, double pixelsPerMm) const;
    void paintAnswerKey(QPainter& painter, const QSizeF& area, double pixelsPerMm) const;
    void paintFooter(QPainter& painter, int page, const QSizeF& area, double pixelsPerMm) const;
    void paintCell(QPainter& painter, int index, const QRectF& cell, double pixelsPerMm) const;

    QString m_title;
    std::vector<WorksheetItem> m_items;
    // Per item: its laid-out notation or loaded picture, made once in the constructor.
    std::vector<std::shared_ptr<const Prepared>> m_prepared;
};

} // namespace UI
