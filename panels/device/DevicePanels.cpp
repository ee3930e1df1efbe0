#include "panels/device/DevicePanels.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

namespace t7::device
{

QString outcome(const QString &label, int result)
{
    return label + (result == 0 ? QStringLiteral(" success!") : QStringLiteral(" failed!"));
}

QLabel *captionLabel(QWidget *parent, const QString &text, QWidget *field, const char *name)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setBuddy(field);
    return label;
}

QHBoxLayout *exitRow(QDialog *dialog, const QString &caption)
{
    auto *exit = new QPushButton(caption, dialog);
    exit->setObjectName(QStringLiteral("exit"));
    exit->setAutoDefault(false);
    QObject::connect(exit, &QPushButton::clicked, dialog, &QDialog::accept);
    auto *row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(exit);
    return row;
}

void showLog(QPlainTextEdit *edit, const QString &log)
{
    QString shown = log;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    edit->setPlainText(shown);
}

} // namespace t7::device
