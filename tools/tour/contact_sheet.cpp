#include "contact_sheet.h"

#include "ui/interface_fonts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QPainter>
#include <QTextStream>

#include <vector>

namespace {

struct Picture
{
    QString file;
    QString label;
};

} // namespace

QImage ContactSheet(const QString& outputDir, const std::vector<Pass>& passes)
{
    constexpr int margin = 24, columns = 4, thumbWidth = 480, labelHeight = 50, gap = 16, headHeight = 44;
    QFont labelFont(UI::InterfaceFonts::familyName());
    labelFont.setPixelSize(12);
    QFont headFont(UI::InterfaceFonts::familyName());
    headFont.setPixelSize(24);
    headFont.setBold(true);

    struct Group
    {
        QString title;
        std::vector<Picture> pictures;
        int thumbHeight;
    };
    std::vector<Group> groups;
    for (const Pass& pass : passes) {
        Group group{pass.title, {}, thumbWidth * pass.height / pass.width};
        const QDir folder(QDir(outputDir).filePath(pass.name));
        QFile file(folder.filePath(QLatin1String(IndexFile)));
        if (file.open(QIODevice::ReadOnly)) {
            QTextStream in(&file);
            in.setCodec("UTF-8");
            while (!in.atEnd()) {
                const QStringList fields = in.readLine().split('\t');
                if (fields.size() == 2)
                    group.pictures.push_back({folder.filePath(fields[0]), fields[1]});
            }
        }
        groups.push_back(group);
    }
    int height = margin;
    for (const Group& group : groups) {
        const int rows = int((group.pictures.size() + columns - 1) / columns);
        height += headHeight + rows * (labelHeight + group.thumbHeight + gap);
    }
    const int width = 2 * margin + columns * thumbWidth + (columns - 1) * gap;
    QImage sheet(width, height + margin, QImage::Format_RGB32);
    sheet.fill(QColor(0x2a, 0x2d, 0x33));
    QPainter painter(&sheet);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    int y = margin;
    for (const Group& group : groups) {
        painter.setFont(headFont);
        painter.setPen(Qt::white);
        painter.drawText(QRect(margin, y, width - 2 * margin, headHeight), Qt::AlignLeft | Qt::AlignVCenter,
                         group.title);
        y += headHeight;
        painter.setFont(labelFont);
        for (size_t i = 0; i < group.pictures.size(); ++i) {
            const int column = int(i % columns);
            const int x = margin + column * (thumbWidth + gap);
            const Picture& picture = group.pictures[i];
            painter.setPen(QColor(0xdd, 0xdd, 0xdd));
            painter.drawText(QRect(x, y, thumbWidth, labelHeight),
                             Qt::AlignLeft | Qt::AlignBottom | Qt::TextWordWrap,
                             QFileInfo(picture.file).fileName() + QStringLiteral("\n") + picture.label);
            QImage image(picture.file);
            if (!image.isNull())
                painter.drawImage(QRect(x, y + labelHeight, thumbWidth, group.thumbHeight),
                                  image.scaled(thumbWidth, group.thumbHeight, Qt::IgnoreAspectRatio,
                                               Qt::SmoothTransformation));
            if (column == columns - 1 || i + 1 == group.pictures.size())
                y += labelHeight + group.thumbHeight + gap;
        }
    }
    return sheet;
}
