#include "panels/contact/C42CrwDlg.h"

#include "panels/contact/ContactCards.h"
#include "panels/contact/MemoryLinesView.h"
#include "reader/LibraryHex.h"
#include "ui/HexEdits.h"
#include "ui/InPlaceLineEditor.h"
#include "ui/MessageSeam.h"
#include "ui/NamedButton.h"

#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

using t7::contact::deviceHandle;

namespace
{

constexpr int kMemoryBytes = 256;
constexpr int kFirstWritableLine = 2;
constexpr int kWriteAddress = 32;
constexpr int kWriteBytes = kMemoryBytes - kWriteAddress;

// As the page has always labelled its rows.
QStringList rowLabels()
{
    return {"00", "01", "02", "03", "04", "05", "06", "07", "08", "09", "1A", "1B", "1C", "1D", "1E", "1F"};
}

} // namespace

C42CrwDlg::C42CrwDlg(QWidget *parent) : C42Page(QStringLiteral("Common data read and write"), parent)
{
    setObjectName(QStringLiteral("C42CrwDlg"));
    editorFont_ = QFont(QStringLiteral("Times New Roman"));
    editorFont_.setPixelSize(12);
    editorFont_.setWeight(QFont::Normal);
    buildLayout();
    connect(read_, &QPushButton::clicked, this, &C42CrwDlg::onRead);
    connect(write_, &QPushButton::clicked, this, &C42CrwDlg::onWrite);
}

void C42CrwDlg::buildLayout()
{
    view_ = new MemoryLinesView(rowLabels(), kFirstWritableLine, this);
    view_->edit()->setFont(editorFont_);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("writeStatus"));
    read_ = t7::makeNamedButton(QStringLiteral("Read"), "read", this);
    write_ = t7::makeNamedButton(QStringLiteral("Write"), "write", this);

    auto *grid = new QGridLayout(this);
    grid->addWidget(view_, 0, 0, 3, 1);
    grid->addWidget(read_, 0, 1);
    grid->addWidget(write_, 1, 1);
    grid->addWidget(status_, 3, 0, 1, 2);
    grid->setRowStretch(2, 1);
    grid->setColumnStretch(2, 1);
}

void C42CrwDlg::firstShown()
{
    onRead();
    chooseReader();
}

void C42CrwDlg::onRead()
{
    view_->editor().discard();
    view_->list()->clear();
    unsigned char memory[kMemoryBytes] = {};
    if (rz_read_4442(deviceHandle(), 0, memory, kMemoryBytes) != 0) {
        view_->setLines({QStringLiteral("Read") + QStringLiteral(" card ") + QStringLiteral(" failed!")});
        return;
    }
    const QString digits = t7::libraryHexText(hex_a, memory, kMemoryBytes);
    QStringList lines;
    for (int i = 0; i < t7::contact::kLines; ++i)
        lines << t7::contact::pairsEachFollowedByBlank(
            digits.mid(2 * t7::contact::kLineBytes * i, 2 * t7::contact::kLineBytes));
    view_->setLines(lines);
}

void C42CrwDlg::onWrite()
{
    t7::InPlaceLineEditor &editor = view_->editor();
    if (editor.isOpen()) {
        if (view_->selectedRow() < 0) {
            t7::appBox(QStringLiteral("Exception! Re-open this dialog again!"));
            return;
        }
        editor.takeOverNow();
    }
    if (!t7::contact::sle4442().pscVerified) {
        t7::appBox(QStringLiteral("Password authentication first please!"));
        return;
    }
    // Every written byte is one the operator sees: a short, long or non-hex
    // line (or the failure line of a read) stops the write. Bytes 0-31 are
    // never written, whatever their lines hold.
    if (!view_->holdsWholeLines(kFirstWritableLine)) {
        t7::appBox(QStringLiteral("Input data is incorrect!"));
        return;
    }
    status_->setText(QStringLiteral("Writing..."));
    status_->repaint();
    QString digits;
    for (int row = kFirstWritableLine; row < t7::contact::kLines; ++row)
        digits += t7::contact::lineDigits(view_->line(row));
    auto bytes = t7::libraryHexBytes(a_hex, digits, kWriteBytes);
    const bool written = bytes && rz_write_4442(deviceHandle(), kWriteAddress, bytes->data(), kWriteBytes) == 0;
    status_->setText(QStringLiteral("Write") + QStringLiteral(" card ") +
                     (written ? QStringLiteral(" success!") : QStringLiteral(" failed!")));
    editor.setEditedRow(-1);
}
