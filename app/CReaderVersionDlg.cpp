#include "app/CReaderVersionDlg.h"

#include "reader/ConnectionState.h"
#include "ui/ColoredControls.h"
#include "ui/Fonts.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include <array>

CReaderVersionDlg::CReaderVersionDlg(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("CReaderVersionDlg"));
    setWindowTitle(QStringLiteral("Version of reader"));

    auto *caption = new CBlueStatic(this);
    caption->setObjectName(QStringLiteral("versionCaption"));
    caption->setText(QStringLiteral("Version:"));
    caption->setFont(t7::boldFont());
    version_ = new CBlueStatic(this);
    version_->setObjectName(QStringLiteral("version"));
    version_->setFont(t7::boldFont());
    version_->setMinimumWidth(260);
    version_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("ok"));
    ok->setDefault(true);

    auto *line = new QHBoxLayout;
    line->addWidget(caption);
    line->addWidget(version_, 1);
    auto *bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(ok);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(line);
    layout->addLayout(bottom);

    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    showReaderVersion();
}

void CReaderVersionDlg::showReaderVersion()
{
    std::array<char, 512> buffer{};
    rz_getver(t7::connection().deviceHandle.load(), buffer.data());
    buffer.back() = 0;
    version_->setText(QString::fromLatin1(buffer.data()));
}

QString CReaderVersionDlg::versionText() const
{
    return version_->text();
}
