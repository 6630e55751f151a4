#include "ui/splash_dialog.h"

#include <QLabel>
#include <QVBoxLayout>

namespace UI {

SplashDialog::SplashDialog(QWidget* parent) : QDialog(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("SplashDialog"));
    setStyleSheet(QStringLiteral("QDialog { background: #1f2a44; } QLabel { color: white; }"));
    auto* layout = new QVBoxLayout(this);
    auto* name = new QLabel(QStringLiteral("Cantorela"), this);
    QFont font = name->font();
    font.setPointSize(24);
    font.setBold(true);
    name->setFont(font);
    name->setAlignment(Qt::AlignCenter);
    auto* status = new QLabel(tr("Loading..."), this);
    status->setAlignment(Qt::AlignCenter);
    layout->addWidget(name);
    layout->addWidget(status);
    resize(360, 180);
}

} // namespace UI
