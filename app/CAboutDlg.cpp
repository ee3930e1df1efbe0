#include "app/CAboutDlg.h"

#include "app/Icons.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CAboutDlg::CAboutDlg(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("CAboutDlg"));
    setWindowTitle(QStringLiteral("About T7Demo"));

    auto *image = new QLabel(this);
    image->setObjectName(QStringLiteral("appIcon"));
    image->setPixmap(t7::icon(t7::IconId::Application).pixmap(32, 32));
    auto *version = new QLabel(QStringLiteral("V1.6.16.25 Version"), this);
    version->setObjectName(QStringLiteral("version"));
    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("ok"));
    ok->setDefault(true);

    auto *layout = new QHBoxLayout(this);
    layout->addWidget(image, 0, Qt::AlignTop);
    layout->addSpacing(12);
    layout->addWidget(version, 1);
    layout->addSpacing(12);
    layout->addWidget(ok, 0, Qt::AlignTop);

    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}
