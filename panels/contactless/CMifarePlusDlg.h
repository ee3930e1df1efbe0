// "MF-PLUS": the Mifare Plus card through its security levels, one tab per
// level, every outcome a line of the shared result list below the tabs.
#pragma once

#include "panels/contactless/CMfPlusCard.h"

#include <QDialog>

#include <memory>

class QListWidget;
class QTabWidget;

class CMifarePlusDlg : public QDialog
{
    Q_OBJECT
public:
    // The list never shows more than this many lines.
    static constexpr int kLogLines = 4;

    explicit CMifarePlusDlg(QWidget *parent = nullptr);

    // Empties the list first when it already holds four lines.
    void logLine(const QString &line);

private:
    // Made when the panel opens; the pages use it, never while being destroyed.
    std::unique_ptr<CMfPlusCard> card_;
    QTabWidget *pages_ = nullptr;
    QListWidget *results_ = nullptr;
};
