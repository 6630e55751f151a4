#pragma once
// One message received from the maker's news service: its identifier (reply header "NewsID")
// and its text. The text is plain text, never markup: whoever shows it must display it as such
// (Qt::PlainText). Produced by Core::NewsClient, shown by the main window's news dialog.

#include <QString>

namespace Core {

struct NewsItem
{
    qint32 id = 0;
    QString text;
};

} // namespace Core
